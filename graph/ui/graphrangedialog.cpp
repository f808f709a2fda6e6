#include "graph/ui/graphrangedialog.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/uitexts.h"
#include "graph/ui/dialogsupport.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {
namespace {

struct FieldInfo {
    const char* name;
    const char16_t* tooltip;
    KeyFilter keys;
};

const FieldInfo kFields[kRangeFields] = {
    {"Drstartno", ui::kFirstRowTip, KeyFilter::Digits},
    {"Drendno", ui::kLastRowTip, KeyFilter::Digits},
    {"Trstartv", ui::kYMinimumTip, KeyFilter::SignedDigits},
    {"Trendv", ui::kYMaximumTip, KeyFilter::SignedDigits},
    {"Hrstartv", u"", KeyFilter::Digits},
    {"Hrendv", u"", KeyFilter::Digits},
    {"Drstarttime", ui::kFirstTimeTip, KeyFilter::DateTime},
    {"Drendtime", ui::kLastTimeTip, KeyFilter::DateTime},
};

struct SpinRange {
    int min, max, largeStep;
};

SpinRange spinRangeOf(RangeAxis a) {
    return a == RangeAxis::X      ? SpinRange{1, 9000, 20}
           : a == RangeAxis::Temp ? SpinRange{-100, 200, 10}
                                  : SpinRange{0, 100, 10};
}

}  // namespace

GraphRangeDialog::GraphRangeDialog(AppContext& ctx, std::function<void()> rangesChanged, QWidget* parent)
    : FieldDialog(ctx, std::move(rangesChanged), parent) {
    setObjectName(QStringLiteral("Grangebox"));
    setWindowTitle(uiText(ui::kGraphRangeTitle));
    st_ = openGraphRange(ctx_.graph, ctx_.store);

    for (int i = 0; i < kRangeFields; ++i) {
        QLineEdit* edit = addField(kFields[i].name, uiText(kFields[i].tooltip));
        fields_[size_t(i)] = edit;
        if (i >= kRangeSpins) {
            edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);
            continue;
        }
        const auto f = RangeField(i);
        const SpinRange s = spinRangeOf(rangeAxisOf(f));
        SpinBar* spin =
            addSpin(edit, s.min, s.max, s.largeStep, [this, f](int v) { rangeSpinChanged(st_, ctx_.store, f, v); });
        spin->installEventFilter(this);
        spins_[size_t(i)] = spin;
    }

    const char16_t* const frameTitles[] = {ui::kDataRangeFrame, ui::kTemperatureRangeFrame, ui::kHumidityRangeFrame};
    const char* frameNames[] = {"DataRange", "Temprange", "Humidrange"};
    const char* boxNames[] = {"Drangeauto", "Trangeauto", "Hrangeauto"};
    const char16_t* const boxTips[] = {ui::kXAutoTip, ui::kYAutoTip, ui::kYAutoTip};
    const RangeField uppers[] = {RangeField::LastRow, RangeField::TempMax, RangeField::HumidMax};
    const RangeField lowers[] = {RangeField::FirstRow, RangeField::TempMin, RangeField::HumidMin};
    auto* layout = new QVBoxLayout(this);
    for (int a = 0; a < 3; ++a) {
        auto* frame = new QGroupBox(uiText(frameTitles[a]), this);
        frame->setObjectName(QLatin1String(frameNames[a]));
        auto* box = new QCheckBox(uiText(ui::kAutomatic), frame);
        box->setObjectName(QLatin1String(boxNames[a]));
        box->setToolTip(uiText(boxTips[a]));
        connect(box, &QCheckBox::clicked, this, [this, a](bool checked) {
            if (busy_ || closing_) return;
            pull();
            rangeAutoClicked(st_, ctx_.graph, ctx_.store, RangeAxis(a), checked);
            push();
        });
        auto* grid = new QGridLayout(frame);
        grid->addWidget(box, 0, 0, 1, 2);
        int row = 1;
        if (a == 0) {
            grid->addWidget(new QLabel(uiText(ui::kDataNumberHead), frame), row, 1, 1, 2);
            grid->addWidget(new QLabel(uiText(ui::kTimeHead), frame), row, 3);
            ++row;
        }
        const RangeField rows[] = {uppers[a], lowers[a]};
        const char16_t* const labels[] = {ui::kUpperBoundLabel, ui::kLowerBoundLabel};
        for (int r = 0; r < 2; ++r, ++row) {
            grid->addWidget(new QLabel(uiText(labels[r]), frame), row, 0);
            grid->addWidget(field(rows[r]), row, 1);
            grid->addWidget(spin(rows[r]), row, 2);
            if (a == 0) {
                const RangeField time = rows[r] == RangeField::LastRow ? RangeField::LastTime : RangeField::FirstTime;
                grid->addWidget(field(time), row, 3);
            }
        }
        grid->setColumnStretch(4, 1);
        autoBoxes_[size_t(a)] = box;
        frames_[size_t(a)] = frame;
        layout->addWidget(frame);
    }
    // Frames of axes without channels stay disabled, their ui::kAutomatic boxes too.
    frame(RangeAxis::Temp)->setEnabled(st_.tempEnabled);
    frame(RangeAxis::Humid)->setEnabled(st_.humidEnabled);

    layout->addLayout(okCancelRow(QStringLiteral("cmdSetgrasnge"), uiText(ui::kChangeRangeTip)));

    push();
}

std::optional<int> GraphRangeDialog::fieldOf(QObject* o) const {
    for (int i = 0; i < kRangeFields; ++i)
        if (o == fields_[size_t(i)]) return i;
    for (int i = 0; i < kRangeSpins; ++i)
        if (o == spins_[size_t(i)]) return i;
    return std::nullopt;
}

bool GraphRangeDialog::isField(QObject* o) const {
    return std::find(fields_.begin(), fields_.end(), o) != fields_.end();
}

KeyFilter GraphRangeDialog::keysOf(int f) const { return kFields[size_t(f)].keys; }

void GraphRangeDialog::pull() {
    for (int i = 0; i < kRangeFields; ++i) st_.text[size_t(i)] = fields_[size_t(i)]->text();
}

void GraphRangeDialog::push() {
    for (int i = 0; i < kRangeFields; ++i)
        if (fields_[size_t(i)]->text() != st_.text[size_t(i)]) fields_[size_t(i)]->setText(st_.text[size_t(i)]);
    for (int i = 0; i < kRangeSpins; ++i) spins_[size_t(i)]->setSpinValue(st_.spin[size_t(i)]);
    for (int a = 0; a < 3; ++a) autoBoxes_[size_t(a)]->setChecked(st_.autoChecked[size_t(a)]);
}

std::vector<int> GraphRangeDialog::check(int f) { return checkRangeField(st_, ctx_.graph, ctx_.store, RangeField(f)); }

void GraphRangeDialog::keyUp(int f) { rangeFieldKeyUp(st_, ctx_.store, RangeField(f)); }

void GraphRangeDialog::onFocusIn(int f) {
    pull();
    rangeFieldFocused(st_, ctx_.graph, RangeField(f));
    push();
}

void GraphRangeDialog::takeValues() {
    if (const Saved saved = acceptGraphRange(st_, ctx_); !saved)
        showRuntimeError(ctx_, runtimeErrorOf(saved.error), captionText(Caption::Graph), kOkOnly);
}

GraphRangeDialog* showGraphRange(AppContext& ctx, QWidget* graphWindow, std::function<void()> rangesChanged) {
    auto* dialog = new GraphRangeDialog(ctx, std::move(rangesChanged), graphWindow ? graphWindow->window() : nullptr);
    showOverGraphWindow(dialog, graphWindow);
    return dialog;
}

}  // namespace quillet
