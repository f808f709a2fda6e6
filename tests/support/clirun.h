// Runs the built quillet-cli as a user would, with the user's folders in a
// scratch home, for the tests of its subcommands.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillet::fakes {

inline const QString kCli = QStringLiteral(QUILLET_BUILD_DIR "/tools/cli/quillet-cli");

struct CliRun {
    int exitCode = -1;  // -1: still running after the time-out; -2: crashed
    QString out;
    QString err;
};

// stdoutFile: where standard output goes instead of r.out ("/dev/full").
inline CliRun runCli(const QStringList& args, const QString& home, int timeoutMs = 60000,
                     const QString& stdoutFile = {}) {
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    p.setProcessEnvironment(env);
    p.start(kCli, args);
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace quillet::fakes
