#include "graph/ui/referencelinesdialog.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/uitexts.h"
#include "graph/ui/dialogsupport.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {
namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

ReferenceLinesDialog::ReferenceLinesDialog(AppContext& ctx, std::function<void()> redraw, QWidget* parent)
    : FieldDialog(ctx, std::move(redraw), parent) {
    setObjectName(QStringLiteral("frmRelSet"));
    setWindowTitle(uiText(ui::kReferenceLinesTitle));
    st_ = openReferenceLines(ctx_.graph, ctx_.store);

    auto* title = new QLabel(uiText(ui::kReferenceLinesHead), this);
    title->setObjectName(QStringLiteral("mTitle"));
    lineOn_ = new QCheckBox(uiText(ui::kShowLines), this);
    lineOn_->setObjectName(QStringLiteral("ckRefLineEn"));
    lineOn_->setToolTip(uiText(ui::kShowLinesTip));

    auto* grid = new QGridLayout;
    const char* names[] = {"reflinevalT", "reflinevalH"};
    const char* unitNames[] = {"lrefunitT", "lrefunitH"};
    const char* unitTexts[] = {"℃", "%RH"};
    const bool shown[] = {st_.showTemp, st_.showHumid};
    for (int i = 0; i < 2; ++i) {
        const auto f = RefField(i);
        const RefLimits lim = refLimits(f);
        QLineEdit* edit = addField(names[i], uiText(ui::kLinePositionTip));
        SpinBar* spin = addSpin(edit, lim.min, lim.max, lim.largeStep, [this, f](int v) { refSpinChanged(st_, f, v); });
        auto* unit = new QLabel(u8(unitTexts[i]), this);
        unit->setObjectName(QLatin1String(unitNames[i]));
        // An axis without channels shows none of its controls.
        const std::array<QWidget*, 3> controls{edit, spin, unit};
        for (int c = 0; c < 3; ++c) {
            controls[size_t(c)]->setVisible(shown[i]);
            grid->addWidget(controls[size_t(c)], i, c);
        }
        fields_[size_t(i)] = edit;
        spins_[size_t(i)] = spin;
        units_[size_t(i)] = unit;
    }
    grid->setColumnStretch(3, 1);
    auto* note = new QLabel(uiText(ui::kWholeNumbersOnly), this);
    note->setObjectName(QStringLiteral("Label1"));

    QHBoxLayout* row = okCancelRow(QStringLiteral("comRefokng"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(lineOn_);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addLayout(row);

    push();
}

void ReferenceLinesDialog::pull() {
    st_.tempText = fields_[0]->text();
    st_.humidText = fields_[1]->text();
    st_.lineOn = lineOn_->isChecked();
}

void ReferenceLinesDialog::push() {
    for (int i = 0; i < 2; ++i) {
        const auto f = RefField(i);
        if (fields_[size_t(i)]->text() != st_.text(f)) fields_[size_t(i)]->setText(st_.text(f));
        spins_[size_t(i)]->setSpinValue(st_.spin(f));
    }
    lineOn_->setChecked(st_.lineOn);
}

std::optional<int> ReferenceLinesDialog::fieldOf(QObject* o) const {
    for (int i = 0; i < 2; ++i)
        if (o == fields_[size_t(i)]) return i;
    return std::nullopt;
}

// Temperatures may be negative; humidity takes digits only.
KeyFilter ReferenceLinesDialog::keysOf(int f) const {
    return RefField(f) == RefField::Temp ? KeyFilter::SignedDigits : KeyFilter::Digits;
}

std::vector<int> ReferenceLinesDialog::check(int f) { return checkRefField(st_, RefField(f)); }

void ReferenceLinesDialog::keyUp(int f) { refFieldKeyUp(st_, RefField(f)); }

void ReferenceLinesDialog::takeValues() { acceptReferenceLines(st_, ctx_.graph); }

ReferenceLinesDialog* showReferenceLines(AppContext& ctx, QWidget* graphWindow,
                                         std::function<void()> redrawWithoutClearing) {
    auto* dialog =
        new ReferenceLinesDialog(ctx, std::move(redrawWithoutClearing), graphWindow ? graphWindow->window() : nullptr);
    showOverGraphWindow(dialog, graphWindow);
    return dialog;
}

}  // namespace quillet
