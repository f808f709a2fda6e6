#include "support/simprocess.h"

#include <QFile>
#include <QFileInfo>

namespace quillet::fakes {

QString SimProcess::executable() { return QStringLiteral(QUILLET_BUILD_DIR "/tools/sim/quillet-logger-sim"); }

QStringList SimProcess::loggedFrames(const QString& log) {
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList frames;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.size() > 24) frames << QString::fromLatin1(line.mid(24));  // after "yyyy-mm-dd hh:mm:ss.zzz "
    return frames;
}

SimProcess::SimProcess(const QStringList& arguments) {
    if (!QFileInfo::exists(executable())) return;
    process_.setProgram(executable());
    process_.setArguments(arguments);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start();
    if (!process_.waitForStarted(5000)) return;
    // The device path stands alone on the first line.
    while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
    device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
}

SimProcess::~SimProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(1000);
}

}  // namespace quillet::fakes
