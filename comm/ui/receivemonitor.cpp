#include "comm/ui/receivemonitor.h"

#include "comm/link.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"
#include "core/uitexts.h"

#include <QPointer>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace quillet {
namespace {

constexpr int kMonitorLimit = 35000;

QString shown(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

}  // namespace

ReceiveMonitor::ReceiveMonitor(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fComData"));
    setWindowTitle(uiText(ui::kReceivedDataTitle));
    ReadComData = new QPlainTextEdit(this);
    ReadComData->setObjectName(QStringLiteral("ReadComData"));
    ReadComData->setReadOnly(true);
    ReadComData->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Command1 = new QPushButton(QStringLiteral("Clear"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &ReceiveMonitor::onClearClicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ReadComData);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    resize(520, 360);
}

void ReceiveMonitor::appendMonitorText(const QString& text) {
    if (text_.size() > kMonitorLimit) text_.clear();
    text_ += text;
    redraw();
}

void ReceiveMonitor::setMonitorText(const QString& text) {
    text_ = text;
    redraw();
}

void ReceiveMonitor::onClearClicked() {
    text_.clear();
    redraw();
}

void ReceiveMonitor::redraw() {
    ReadComData->setPlainText(shown(text_));
    ReadComData->moveCursor(QTextCursor::End);
}

namespace {

void wire(MainWindow& window, AppContext& ctx, const std::function<ReceiveMonitor&()>& monitor) {
    window.setCommand(Command::ReadAll, [monitor] {
        ReceiveMonitor& m = monitor();
        m.show();
        m.raise();
        m.activateWindow();
    });
    ctx.comm->monitor = [monitor](const QByteArray& answer, int group, int number, Progress progress) {
        ReceiveMonitor& m = monitor();
        QString text = m.text();
        appendMonitorText(text, answer, group, number, progress);
        m.setMonitorText(text);
    };
}

}  // namespace

void wireMonitor(MainWindow& window, AppContext& ctx, ReceiveMonitor& monitor) {
    wire(window, ctx, [&monitor]() -> ReceiveMonitor& { return monitor; });
}

void wireMonitorOnDemand(MainWindow& window, AppContext& ctx) {
    // The window belongs to the main window once it exists.
    auto monitor = std::make_shared<QPointer<ReceiveMonitor>>();
    wire(window, ctx, [&window, monitor]() -> ReceiveMonitor& {
        if (!*monitor) *monitor = new ReceiveMonitor(&window);
        return **monitor;
    });
}

}  // namespace quillet
