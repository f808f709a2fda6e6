#include "comm/ui/portdialog.h"

#include "comm/portsearch.h"
#include "comm/serialport.h"
#include "core/context.h"
#include "core/uitexts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

QString portItemText(int n) {
    QString text = uiText(ui::kComPort) + QString::number(n);
#ifndef Q_OS_WIN
    text += QStringLiteral("  (") + serialDeviceForPort(n) + QLatin1Char(')');
#endif
    return text;
}

PortDialog::PortDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("PORTSET"));
    setWindowTitle(uiText(ui::kPortSettingsFrame));
    auto* frame = new QGroupBox(uiText(ui::kPortSettingsTitle), this);
    frame->setObjectName(QStringLiteral("PortFrame"));
    commList_ = new QComboBox(frame);
    commList_->setObjectName(QStringLiteral("CommList"));
    for (int n = 1; n <= 16; ++n) commList_->addItem(portItemText(n));
    commList_->setCurrentIndex(qBound(0, ctx_.general.comPort - 1, 15));
    auto* hint = new QLabel(uiText(ui::kPortNote), frame);
    hint->setObjectName(QStringLiteral("laPORT"));
    hint->setWordWrap(true);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(commList_);
    frameLayout->addWidget(hint);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("comPORTSET_0"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("comPORTSET_1"));
    connect(ok, &QPushButton::clicked, this, [this] { onButtonClicked(0); });
    connect(cancel, &QPushButton::clicked, this, [this] { onButtonClicked(1); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void PortDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    if (choosePort(ctx_, commList_->currentIndex() + 1)) {
        accept();
        return;
    }
    commList_->setCurrentIndex(qBound(0, ctx_.general.comPort - 1, 15));
}

}  // namespace quillet
