// The built quillet-logger-sim, run on a pseudo-terminal for end-to-end
// tests over a real serial device.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillet::fakes {

class SimProcess {
public:
    // Starts the simulator with the arguments; devicePath() is empty when it
    // could not be started (the executable is missing or said nothing).
    explicit SimProcess(const QStringList& arguments);
    ~SimProcess();

    QString devicePath() const { return device_; }
    static QString executable();
    // The frames of the simulator's log (--log FILE) with their data,
    // without the time: "3,5 A1".
    static QStringList loggedFrames(const QString& log);

private:
    QProcess process_;
    QString device_;
};

}  // namespace quillet::fakes
