// quillet-cli graph-range, run as the built program.
#include "core/catalog.h"
#include "core/channelfill.h"
#include "core/startup.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
#include "graph/graphstate.h"
#include "support/fakes.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

struct Result {
    int exitCode = -1;
    QString out, err;
};

class GraphRangeCli : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::fillChannel(t.ctx, 1, {.kind = 1, .samples = fakes::ramp(100, 200)});
        ASSERT_EQ(runtimeErrorOf(writeFileAtomically(file, ql6Bytes(t.ctx.store))), 0);
    }
    Result cli(QStringList args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUILLET_BUILD_DIR "/tools/cli/quillet-cli"), QStringList{"graph-range", file} + args);
        Result r;
        if (!p.waitForFinished(30000)) return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    // The settings as the program's next start finds them.
    GraphState restarted() {
        AppContext next;
        startUp(next, buildFolders(home.path() + "/config", home.path() + "/docs", home.path()));
        return next.graph;
    }

    fakes::TestContext t;
    QTemporaryDir home;
    QString file = t.root + "/ten.ql6";
};

}  // namespace

TEST_F(GraphRangeCli, HeldBoundsReachTheSettings) {
    const Result r = cli({"--x", "2013-11-15 10:15:00..50", "--temp", "-5..35", "--save"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains(QString::fromUtf8("データ範囲: 2..50  (2013-11-15 10:10:00 .. 2013-11-15 18:10:00)  固定")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("温度範囲: -5..35 ℃  固定")));
    const GraphState g = restarted();
    EXPECT_TRUE(g.temp().manual);
    EXPECT_EQ((std::array{g.temp().shown.low, g.temp().shown.high}), (std::array<int16_t, 2>{-5, 35}));
}

TEST_F(GraphRangeCli, RefusedInputShowsTheMessagesAndSavesNothing) {
    Result r = cli({"--temp", "300..400", "--save"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(messageText(52)));
    EXPECT_TRUE(r.err.contains(messageText(50)));
    EXPECT_EQ(restarted().temp().manual, 0);

    r = cli({"--humid", "10..90"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("には湿度のチャンネルがありません"))) << r.err.toStdString();
}
