// ReceiveMonitor: the received-data monitor ("受信データの表示"), a modeless
// window opened from "連続読み出し" in debug mode. Every judged answer of the
// serial link is appended to ReadComData; Command1 empties it.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace quillet {

struct AppContext;
class MainWindow;

class ReceiveMonitor : public QWidget {
    Q_OBJECT
public:
    explicit ReceiveMonitor(QWidget* parent = nullptr);

    // The whole monitor text, as the link builds it (CR LF line ends).
    QString text() const { return text_; }

    QPlainTextEdit* ReadComData = nullptr;
    QPushButton* Command1 = nullptr;

public slots:
    // Appends text; a box holding more than 35000 characters is emptied first.
    void appendMonitorText(const QString& text);
    // Replaces the whole text (the link's monitor function builds it).
    void setMonitorText(const QString& text);
    void onClearClicked();

private:
    void redraw();
    QString text_;
};

// Opens the monitor from the main window's "連続読み出し" and feeds it
// every answer the serial link judges while the debug mode is on.
void wireMonitor(MainWindow& window, AppContext& ctx, ReceiveMonitor& monitor);
// The same with a monitor window built when it is first needed (the menu
// entry, or the first answer in debug mode), owned by the main window.
void wireMonitorOnDemand(MainWindow& window, AppContext& ctx);

}  // namespace quillet
