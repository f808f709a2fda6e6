// Ends the event loop once a widget has painted for the first time: the
// start-up benchmark (bench/compare.sh) times a program from its start to its
// first painted window. The rest of the paint pass finishes first, as the
// end is queued behind it.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quillet {

class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == watched_ && e->type() == QEvent::Paint && !done_) {
            done_ = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* watched_;
    bool done_ = false;
};

}  // namespace quillet
