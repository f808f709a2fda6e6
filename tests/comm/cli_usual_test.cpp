// quillet-cli usual against quillet-logger-sim over a pseudo-terminal.
#include "core/vb.h"
#include "datafile/fileops.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "tools/sim/device.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

const QString kCli = QStringLiteral(QUILLET_BUILD_DIR "/tools/cli/quillet-cli");

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

CliRun runCli(const QStringList& args, const QString& home) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("HOME", home);
    p.setProcessEnvironment(env);
    p.start(kCli, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(CliUsual, SavesByCardAndTestAndNeverOverwrites) {
    fakes::SimProcess sim({"--model", "2", "--records", "300", "--card", "5", "--test", "12"});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) GTEST_SKIP() << "tools not built";
    QTemporaryDir home;
    const QStringList args = {"usual", "--device", sim.devicePath(), "--naming", "card", "--start", "07:30"};
    const CliRun first = runCli(args, home.path());
    const QString day = vb::formatDate(QDateTime::currentDateTime(), QStringLiteral("yy年mm月dd日"));
    const QString file = home.path() + "/Documents/ORVELL/Quillet7/number/" + day + "/005_012.ql6";
    ASSERT_TRUE(first.out.contains("Saved:    " + file)) << first.out.toStdString() << first.err.toStdString();
    fakes::TestContext back;
    ASSERT_EQ(loadDataFile(back.ctx, file), 0);
    EXPECT_EQ(back.ctx.store.channelsInUse, 2);
    EXPECT_EQ(back.ctx.store.ch[1].sampleCount, 300);
    EXPECT_EQ(back.ctx.store.ch[2].sampleCount, 300);

    // The same card and test again on the same day: refused, file kept.
    const QByteArray saved = contents(file);
    const CliRun again = runCli(args, home.path());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("exists already")) << again.err.toStdString();
    EXPECT_TRUE(again.err.contains("nothing was sent to the logger")) << again.err.toStdString();
    EXPECT_EQ(contents(file), saved);
}

TEST(CliUsual, AFaultyTransferSavesAndSetsNothing) {
    fakes::SimProcess sim({"--model", "1", "--records", "100", "--broken-block", "3"});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) GTEST_SKIP() << "tools not built";
    QTemporaryDir home;
    const CliRun r = runCli({"usual", "--device", sim.devicePath(), "--naming", "date"}, home.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("読み取りエラーです。"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("nothing was sent to the logger")) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("Saved:"));
    EXPECT_TRUE(QDir(home.path() + "/Documents/ORVELL/Quillet7/date").entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());

    const CliRun bad = runCli({"usual", "--device", sim.devicePath(), "--start", "7:30"}, home.path());
    EXPECT_EQ(bad.exitCode, 2);
}
