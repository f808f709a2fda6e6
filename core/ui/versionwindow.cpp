#include "core/ui/versionwindow.h"

#include "core/catalog.h"
#include "core/settingsfiles.h"
#include "core/uitexts.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#ifndef QUILLET_VERSION_MAJOR
#define QUILLET_VERSION_MAJOR 8
#define QUILLET_VERSION_MINOR 0
#define QUILLET_VERSION_PATCH 0
#endif

namespace quillet {

VersionWindow::VersionWindow(AppContext& ctx, std::function<void(bool)> setMonitorVisible, QWidget* parent)
    : QDialog(parent), ctx_(ctx), setMonitorVisible_(std::move(setMonitorVisible)) {
    setObjectName(QStringLiteral("VERDISP"));
    setWindowTitle(captionText(Caption::Version));
    setModal(true);

    Verlabel[0] = new QLabel(programVersionText(), this);
    Verlabel[0]->setObjectName(QStringLiteral("Verlabel_0"));
    Verlabel[1] = new QLabel(QStringLiteral("2013.11.15"), this);
    Verlabel[1]->setObjectName(QStringLiteral("Verlabel_1"));
    Frame1 = new QGroupBox(uiText(ui::kSupportedModels), this);
    LaVer = new QLabel(QStringLiteral("LX2441 LX1200 LX1220 LX3100 LX2442"), Frame1);
    LaVer->setObjectName(QStringLiteral("LaVer"));
    LaVer->setToolTip(uiText(ui::kSupportedModelsTip));
    LaVer->setWordWrap(true);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(LaVer);
    verdispok = new QPushButton(QStringLiteral("OK"), this);
    verdispok->setObjectName(QStringLiteral("verdispok"));
    connect(verdispok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Verlabel[0]);
    layout->addWidget(Verlabel[1]);
    layout->addWidget(Frame1);
    layout->addWidget(verdispok, 0, Qt::AlignHCenter);

    // Keys reach the window before its controls.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    showDebugColour();
}

void VersionWindow::showDebugColour() {
    QPalette p = Verlabel[0]->palette();
    p.setColor(QPalette::WindowText, ctx_.debug.debugMode ? QColor(255, 0, 0) : QColor(0, 0, 0));
    Verlabel[0]->setPalette(p);
}

void VersionWindow::onKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key != Qt::Key_D) return;
    const Qt::KeyboardModifiers shiftState = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (shiftState == Qt::ShiftModifier) {
        ctx_.debug.debugMode = !ctx_.debug.debugMode;
        if (setMonitorVisible_) setMonitorVisible_(ctx_.debug.debugMode);
        showDebugColour();
    }
    // Edited timing values take effect without a restart.
    if (ctx_.debug.debugMode) loadTimingSettings(ctx_.timing, ctx_.folders.timingFile);
}

bool VersionWindow::eventFilter(QObject* watched, QEvent* e) {
    // D means nothing to the controls: it is the window's key alone, so it
    // does not travel on to the window a second time.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_D) {
            onKeyDown(k->key(), k->modifiers());
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void VersionWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_D) {
        onKeyDown(e->key(), e->modifiers());
        return;
    }
    QDialog::keyPressEvent(e);
}

}  // namespace quillet
