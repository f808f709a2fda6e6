// Demo mode: the logger simulator on a pseudo-terminal stands in for a
// reader with a two-channel logger on it, mapped to port 1 for this run.
#pragma once

#include <QProcess>
#include <QString>

namespace quillet {

struct AppContext;

class Demo {
public:
    ~Demo();
    // Starts quillet-logger-sim and maps port 1 to its device. Returns the
    // text the window shows, or an empty string when the simulator could
    // not be started (the reason goes to stderr).
    QString start(AppContext& ctx);

private:
    QProcess process_;
};

// Where the simulator is: beside the program, in the build tree, or on PATH.
QString simulatorExecutable();

}  // namespace quillet
