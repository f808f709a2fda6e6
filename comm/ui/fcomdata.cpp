#include "comm/ui/fcomdata.h"

#include "comm/commnication.h"
#include "core/context.h"
#include "core/ui/mainwindow.h"

#include <QVBoxLayout>

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

void wireMonitor(MAIN& window, AppContext& ctx, fComData& monitor) {
    window.setCommand(window.mAllRead, [&monitor] {
        monitor.show();
        monitor.raise();
        monitor.activateWindow();
    });
    ctx.commMonitor = [&monitor](const QByteArray& answer, int group, int number, int progressMode) {
        QString text = monitor.text();
        appendMonitorText(text, answer, group, number, progressMode);
        monitor.setMonitorText(text);
    };
}

}  // namespace quillet
