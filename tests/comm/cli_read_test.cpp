// quillet-cli read against quillet-logger-sim over a pseudo-terminal.
#include "datafile/fileops.h"
#include "support/clirun.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"
#include "tools/sim/device.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

using fakes::CliRun;
using fakes::kCli;
using fakes::runCli;

}  // namespace

TEST(CliRead, WritesWhatTheProgramOpens) {
    fakes::SimProcess sim({"--model", "4", "--records", "150", "--seed", "9"});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    QTemporaryDir dir;
    const QString out = dir.path() + "/read.ql6";
    const CliRun r = runCli({"read", "--device", sim.devicePath(), "--out", out, "--channel", "c"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // stderr is a pipe here, not a terminal: no progress redraws in it.
    EXPECT_FALSE(r.err.contains('\r'));
    EXPECT_FALSE(r.err.contains('#'));

    fakes::TestContext t;
    ASSERT_EQ(loadDataFile(t.ctx, out), 0);
    const ChannelStore& s = t.ctx.store;
    EXPECT_EQ(s.channelsInUse, 2);
    EXPECT_EQ(s.ch[3].inUse, 1);  // the first logger channel in C
    EXPECT_EQ(s.ch[1].inUse, 1);  // the second in the lowest other channel
    sim::Config c;
    c.model = 4;
    c.records = 150;
    c.seed = 9;
    const sim::Device same(c);
    for (int i = 1; i <= 150; ++i) {
        const int raw = same.rawRecords(1)[size_t(i - 1)];
        ASSERT_EQ(s.samples[3][i], raw == 1023 ? 9999 : raw - 400) << i;
    }
    EXPECT_EQ(s.ch[3].sampleCount, 150);
    EXPECT_EQ(s.ch[3].kind, 1);
}

TEST(CliRead, FailureLeavesNoFile) {
    fakes::SimProcess sim({"--model", "2", "--records", "50", "--broken-block", "2"});
    if (sim.devicePath().isEmpty() || !QFile::exists(kCli)) QUILLET_TOOL_MISSING("tools not built");
    QTemporaryDir dir;
    const QString out = dir.path() + "/read.ql6";
    const CliRun r = runCli({"read", "--device", sim.devicePath(), "--out", out}, dir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("読み取りエラーです。"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const CliRun missing = runCli({"read", "--device", dir.path() + "/no-such-tty", "--out", out}, dir.path());
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QString::fromUtf8("無効な通信ポートです。"))) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}
