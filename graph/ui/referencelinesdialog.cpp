#include "graph/ui/referencelinesdialog.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
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

bool isCheckKey(const QKeyEvent& k) {
    return k.key() == Qt::Key_Return || k.key() == Qt::Key_Enter ||
           (k.key() == Qt::Key_Comma && k.modifiers().testFlag(Qt::KeypadModifier));
}

}  // namespace

ReferenceLinesDialog::ReferenceLinesDialog(AppContext& ctx, std::function<void()> redraw, QWidget* parent)
    : QDialog(parent), ctx_(ctx), redraw_(std::move(redraw)) {
    setObjectName(QStringLiteral("frmRelSet"));
    setWindowTitle(u8("基準線設定"));
    st_ = openReferenceLines(ctx_.graph, ctx_.store);

    auto* title = new QLabel(u8("グラフ基準線"), this);
    title->setObjectName(QStringLiteral("mTitle"));
    lineOn_ = new QCheckBox(u8("表示"), this);
    lineOn_->setObjectName(QStringLiteral("ckRefLineEn"));
    lineOn_->setToolTip(u8("グラフ画面上に任意の横線を表示します"));

    auto* grid = new QGridLayout;
    const char* names[] = {"reflinevalT", "reflinevalH"};
    const char* unitNames[] = {"lrefunitT", "lrefunitH"};
    const char* unitTexts[] = {"℃", "%RH"};
    const bool shown[] = {st_.showTemp, st_.showHumid};
    for (int i = 0; i < 2; ++i) {
        const auto f = RefField(i);
        const RefLimits lim = refLimits(f);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(names[i]));
        edit->setToolTip(u8("横線表示位置"));
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
        edit->installEventFilter(this);
        auto* spin = new SpinBar(lim.min, lim.max, lim.largeStep, this);
        spin->setObjectName(QStringLiteral("sc") + edit->objectName());
        spin->setFixedHeight(edit->sizeHint().height());
        connect(spin, &SpinBar::spinChanged, this, [this, f](int v) {
            if (busy_ || closing_) return;
            pull();
            refSpinChanged(st_, f, v);
            push();
        });
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
    auto* note = new QLabel(u8("小数点以下は設定できません"), this);
    note->setObjectName(QStringLiteral("Label1"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("comRefokng_0"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("comRefokng_1"));
    buttons_ = {ok, cancel};
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int i = 0; i < 2; ++i) {
        buttons_[size_t(i)]->setAutoDefault(false);  // Enter belongs to the fields' checks
        connect(buttons_[size_t(i)], &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
        row->addWidget(buttons_[size_t(i)]);
    }

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

void ReferenceLinesDialog::lostFocus(RefField f) {
    busy_ = true;
    pull();
    const std::vector<int> messages = checkRefField(st_, f);
    for (int m : messages) showMessage(ctx_, Caption::Graph, Msg(m), kOkOnly);
    push();
    busy_ = false;
}

bool ReferenceLinesDialog::eventFilter(QObject* watched, QEvent* event) {
    const int i = watched == fields_[0] ? 0 : watched == fields_[1] ? 1 : -1;
    if (i < 0 || busy_ || closing_) return QDialog::eventFilter(watched, event);
    const auto f = RefField(i);
    switch (event->type()) {
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) lostFocus(f);
        break;
    }
    case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (isCheckKey(key)) {
            lostFocus(f);
            return true;
        }
        // Temperatures may be negative; humidity takes digits only.
        if (!filterKeyEvent(key, f == RefField::Temp ? KeyFilter::SignedDigits : KeyFilter::Digits)) return true;
        break;
    }
    case QEvent::KeyRelease:
        pull();
        refFieldKeyUp(st_, f);
        push();
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void ReferenceLinesDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    pull();
    acceptReferenceLines(st_, ctx_.graph);
    const auto redraw = redraw_;
    accept();
    if (redraw) redraw();
}

void ReferenceLinesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    buttons_[0]->setFocus();  // OK, not a field
}

void ReferenceLinesDialog::done(int result) {
    closing_ = true;
    QDialog::done(result);
}

ReferenceLinesDialog* showReferenceLines(AppContext& ctx, QWidget* graphWindow,
                                         std::function<void()> redrawWithoutClearing) {
    auto* dialog =
        new ReferenceLinesDialog(ctx, std::move(redrawWithoutClearing), graphWindow ? graphWindow->window() : nullptr);
    showOverGraphWindow(dialog, graphWindow);
    return dialog;
}

}  // namespace quillet
