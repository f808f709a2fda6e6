#include "app/demo.h"

#include "core/context.h"
#include "core/uitexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <csignal>
#endif

namespace quillet {

QString simulatorExecutable() {
    const QString name = QStringLiteral("quillet-logger-sim");
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {dir + QLatin1Char('/') + name, dir + QStringLiteral("/../tools/sim/") + name})
        if (QFileInfo(candidate).isExecutable()) return QFileInfo(candidate).canonicalFilePath();
    return QStandardPaths::findExecutable(name);
}

Demo::~Demo() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) process_.kill();
}

QString Demo::start(AppContext& ctx) {
    const QString exe = simulatorExecutable();
    if (exe.isEmpty()) {
        std::fprintf(stderr, "quillet: --demo needs quillet-logger-sim, which was not found\n");
        return {};
    }
    // A temperature and humidity logger with three days of records every
    // ten minutes, sending at the reader's real speed.
#ifdef Q_OS_LINUX
    // The simulator ends with the program, however the program ends.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    process_.start(exe, {QStringLiteral("--model"), QStringLiteral("2"), QStringLiteral("--records"),
                         QStringLiteral("432"), QStringLiteral("--paced")});
    if (!process_.waitForStarted(5000)) {
        std::fprintf(stderr, "quillet: could not start %s\n", qPrintable(exe));
        return {};
    }
    while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
    const QString device = QString::fromLocal8Bit(process_.readLine()).trimmed();
    if (device.isEmpty()) {
        std::fprintf(stderr, "quillet: the simulator gave no device\n");
        return {};
    }
    // Port 1 is the simulator for this run; the saved port is left alone.
    qputenv("QUILLET_COM1", device.toLocal8Bit());
    ctx.general.comPort = 1;
    return uiText(ui::kDemoStatus).arg(device);
}

}  // namespace quillet
