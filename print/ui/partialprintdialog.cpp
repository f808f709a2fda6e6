#include "print/ui/partialprintdialog.h"

#include "core/catalog.h"
#include "core/fieldhelpers.h"
#include "core/uitexts.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillet {
namespace {}  // namespace

PartialPrintDialog::PartialPrintDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), form(ctx) {
    setWindowTitle(uiText(ui::kPartialPrintTitle));
    setObjectName(QStringLiteral("fPartPrint"));
    auto frame = [this](const QString& title, QLineEdit*& no, QLineEdit*& time, QScrollBar*& bar, const char* noName,
                        const char* timeName, const char* barName) {
        auto* g = new QGroupBox(title, this);
        auto* grid = new QGridLayout(g);
        no = new QLineEdit(g);
        no->setObjectName(QLatin1String(noName));
        no->setMaxLength(5);
        no->setFixedWidth(no->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
        time = new QLineEdit(g);
        time->setObjectName(QLatin1String(timeName));
        time->setMinimumWidth(time->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);
        bar = new QScrollBar(Qt::Horizontal, g);
        bar->setObjectName(QLatin1String(barName));
        bar->setFocusPolicy(Qt::StrongFocus);
        grid->addWidget(new QLabel(uiText(ui::kDataNumberHead), g), 0, 0);
        grid->addWidget(new QLabel(uiText(ui::kPartialTimeHead), g), 0, 1);
        grid->addWidget(no, 1, 0);
        grid->addWidget(time, 1, 1);
        grid->addWidget(bar, 2, 0, 1, 2);
        for (QWidget* w : {static_cast<QWidget*>(no), static_cast<QWidget*>(time), static_cast<QWidget*>(bar)})
            w->installEventFilter(this);
        return g;
    };
    Frame1 = frame(uiText(ui::kPartStart), tStartNo, tStartTime, sctStartNo, "tStartNo", "tStartTime", "sctStartNo");
    Frame2 = frame(uiText(ui::kPartEnd), tEndNo, tEndTime, sctEndNo, "tEndNo", "tEndTime", "sctEndNo");

    OkNg[0] = new QPushButton(QStringLiteral("OK"), this);
    OkNg[1] = new QPushButton(QStringLiteral("Cancel"), this);
    OkNg[0]->setDefault(false);
    OkNg[0]->setAutoDefault(false);
    OkNg[1]->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkNg[0]);
    buttons->addWidget(OkNg[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);

    for (QScrollBar* bar : {sctStartNo, sctEndNo}) {
        bar->setMinimum(form.minimum);
        bar->setMaximum(form.maximum);
        bar->setPageStep(form.largeStep);
        bar->setSingleStep(1);
    }
    connect(sctStartNo, &QScrollBar::valueChanged, this, [this](int v) {
        form.barMoved(true, v);
        showForm();
    });
    connect(sctEndNo, &QScrollBar::valueChanged, this, [this](int v) {
        form.barMoved(false, v);
        showForm();
    });
    connect(OkNg[0], &QPushButton::clicked, this, [this] { onButtonClicked(0); });
    connect(OkNg[1], &QPushButton::clicked, this, [this] { onButtonClicked(1); });
    showForm();
}

QLineEdit* PartialPrintDialog::box(PartialPrintForm::Box b) const {
    switch (b) {
    case PartialPrintForm::StartNo: return tStartNo;
    case PartialPrintForm::StartTime: return tStartTime;
    case PartialPrintForm::EndNo: return tEndNo;
    default: return tEndTime;
    }
}

int PartialPrintDialog::boxOf(QObject* o) const {
    for (int b = 0; b < 4; ++b)
        if (o == box(PartialPrintForm::Box(b))) return b;
    return -1;
}

void PartialPrintDialog::showForm() {
    for (int b = 0; b < 4; ++b) {
        QLineEdit* e = box(PartialPrintForm::Box(b));
        if (e->text() != form.text[size_t(b)]) e->setText(form.text[size_t(b)]);
    }
    const QSignalBlocker b1(sctStartNo);
    const QSignalBlocker b2(sctEndNo);
    sctStartNo->setValue(form.sctStartNo);
    sctEndNo->setValue(form.sctEndNo);
}

void PartialPrintDialog::boxLeft(PartialPrintForm::Box b) {
    form.text[size_t(b)] = box(b)->text();
    form.leave(b);
    showForm();
}

void PartialPrintDialog::onButtonClicked(int index) {
    if (index == 1) {
        reject();
        return;
    }
    // The box being edited is checked first, as leaving it would.
    const int b = boxOf(focusWidget());
    if (b >= 0 && box(PartialPrintForm::Box(b))->text() != form.text[size_t(b)]) boxLeft(PartialPrintForm::Box(b));
    if (form.ok()) accept();
}

bool PartialPrintDialog::eventFilter(QObject* watched, QEvent* e) {
    const int b = boxOf(watched);
    const bool bar = watched == sctStartNo || watched == sctEndNo;
    if (b < 0 && !bar) return QDialog::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::FocusIn:
        if (b >= 0) form.gotFocus(PartialPrintForm::Box(b));
        break;
    case QEvent::FocusOut: {
        // A message box or a menu taking the focus is no leaving.
        const Qt::FocusReason r = static_cast<QFocusEvent*>(e)->reason();
        if (r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason) break;
        if (b >= 0)
            boxLeft(PartialPrintForm::Box(b));
        else
            boxLeft(watched == sctStartNo ? PartialPrintForm::StartNo : PartialPrintForm::EndNo);
        break;
    }
    case QEvent::KeyPress: {
        if (b < 0) break;
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            boxLeft(PartialPrintForm::Box(b));
            return true;
        }
        const QString t = k->text();
        if (t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 256) {
            const bool time = b == PartialPrintForm::StartTime || b == PartialPrintForm::EndTime;
            if (filterKey(t[0].unicode(), time ? KeyFilter::DateTime : KeyFilter::Digits) == 0) return true;
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, e);
}

std::optional<AxisRows> QtPartialPrintPrompt::chooseRows(AppContext& ctx) {
    PartialPrintDialog dialog(ctx, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.form.rows;
}

}  // namespace quillet
