#include "comm/ui/fcomdata.h"

#include "comm/commnication.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"

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

fComData::fComData(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fComData"));
    setWindowTitle(QStringLiteral("受信データの表示"));
    ReadComData = new QPlainTextEdit(this);
    ReadComData->setObjectName(QStringLiteral("ReadComData"));
    ReadComData->setReadOnly(true);
    ReadComData->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Command1 = new QPushButton(QStringLiteral("Clear"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &fComData::Command1_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ReadComData);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    resize(520, 360);
}

void fComData::appendMonitorText(const QString& text) {
    if (text_.size() > kMonitorLimit) text_.clear();
    text_ += text;
    redraw();
}

void fComData::setMonitorText(const QString& text) {
    text_ = text;
    redraw();
}

void fComData::Command1_Click() {
    text_.clear();
    redraw();
}

void fComData::redraw() {
    ReadComData->setPlainText(shown(text_));
    ReadComData->moveCursor(QTextCursor::End);
}

namespace {

void wire(MAIN& window, AppContext& ctx, const std::function<fComData&()>& monitor) {
    window.setCommand(window.mAllRead, [monitor] {
        fComData& m = monitor();
        m.show();
        m.raise();
        m.activateWindow();
    });
    ctx.commMonitor = [monitor](const QByteArray& answer, int group, int number, int progressMode) {
        fComData& m = monitor();
        QString text = m.text();
        appendMonitorText(text, answer, group, number, progressMode);
        m.setMonitorText(text);
    };
}

}  // namespace

void wireMonitor(MAIN& window, AppContext& ctx, fComData& monitor) {
    wire(window, ctx, [&monitor]() -> fComData& { return monitor; });
}

void wireMonitorOnDemand(MAIN& window, AppContext& ctx) {
    // The window belongs to the main window once it exists.
    auto monitor = std::make_shared<QPointer<fComData>>();
    wire(window, ctx, [&window, monitor]() -> fComData& {
        if (!*monitor) *monitor = new fComData(&window);
        return **monitor;
    });
}

}  // namespace quillet
