// Runs the built quillet-cli as a user would, with the user's folders in a
// scratch home, for the tests of its subcommands.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/resource.h>
#include <csignal>
#include <functional>

namespace quillet::fakes {

inline const QString kCli = QStringLiteral(QUILLET_BUILD_DIR "/tools/cli/quillet-cli");

struct CliRun {
    int exitCode = -1;  // -1: still running after the time-out; -2: crashed
    QString out;
    QString err;
};

// Starts program with args in the scratch home and waits for it.
// stdoutFile: where standard output goes instead of r.out ("/dev/full");
// inChild runs in the child before the program starts (a limit of its own).
inline CliRun runIn(const QString& program, const QStringList& args, const QString& home, int timeoutMs,
                    const QString& stdoutFile, const std::function<void()>& inChild) {
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    p.setProcessEnvironment(env);
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(program, args);
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

inline CliRun runCli(const QStringList& args, const QString& home, int timeoutMs = 60000,
                     const QString& stdoutFile = {}, const std::function<void()>& inChild = {}) {
    return runIn(kCli, args, home, timeoutMs, stdoutFile, inChild);
}

// For inChild: a disk with room for `room` bytes a file, so that writing
// more fails as on a full disk (a file-size limit).
inline std::function<void()> diskFullAfter(rlim_t room) {
    return [room] {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = room;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    };
}

// The arguments as a shell spells them, for names that a QString cannot
// hand over byte for byte: "\"$(printf 'r\\351.csv')\"".
inline CliRun runCliInShell(const QString& arguments, const QString& home) {
    return runIn(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), "exec \"$0\" " + arguments, kCli}, home, 60000, {},
                 {});
}

}  // namespace quillet::fakes
