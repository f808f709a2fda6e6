// quillet-cli graph, run as the built program over a full store.
#include "datafile/datafile.h"
#include "graphfill.h"
#include "support/clirun.h"
#include "support/fakes.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace quillet {
namespace {

class CliGraphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { graphtest::ensureGuiApplication(); }

    void SetUp() override {
        // Eight channels of 12000 samples, the last one humidity.
        fakes::TestContext t;
        for (int ch = 1; ch <= kChannels; ++ch) {
            std::vector<int16_t> v(kMaxSamples);
            for (int i = 0; i < kMaxSamples; ++i)
                v[size_t(i)] = int16_t((ch == 8 ? 550 : 220) + 40 * std::sin(i / 500.0 + ch));
            v[100] = kErrorSample;
            graphtest::fill(t.ctx, ch, graphtest::channelData(ch == 8 ? 2 : 1, v));
        }
        data = dir.path() + "/full.ql6";
        QFile f(data);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ql6Bytes(t.ctx.store));
    }
    int cli(const QStringList& args) {
        const fakes::CliRun r = fakes::runCli(QStringList{"graph", data} + args, dir.path());
        errors = r.err;
        return r.exitCode;
    }
    QByteArray bytes(const QString& name) {
        QFile f(dir.path() + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString data;
    QString errors;
};

TEST_F(CliGraphTest, WritesPngSvgAndPdf) {
    ASSERT_EQ(cli({"--out", dir.path() + "/g.png"}), 0) << errors.toStdString();
    const QImage png = QImage::fromData(bytes("g.png"), "PNG");
    EXPECT_EQ(png.size(), QSize(1004, 378));
    ASSERT_EQ(cli({"--out", dir.path() + "/g.svg", "--size", "800x400", "--x", "2000..2100", "--temp", "10..30",
                   "--labels", "--ref-temp", "20"}),
              0)
        << errors.toStdString();
    const QString svg = QString::fromUtf8(bytes("g.svg"));
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("[%RH]")) << "axis labels stay text";
    EXPECT_TRUE(svg.contains("30.0"));
    ASSERT_EQ(cli({"--out", dir.path() + "/g.pdf", "--thick"}), 0) << errors.toStdString();
    EXPECT_TRUE(bytes("g.pdf").startsWith("%PDF"));
}

TEST_F(CliGraphTest, BadRangesAreRefused) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"--x", "0..100"}, "設定できるデータ範囲は１～９０００です。"},
        {{"--x", "200..100"}, "上限値は下限値より高く設定してください。"},
        {{"--temp", "20..20"}, "上限値は下限値より高く設定してください。"},
        {{"--temp", "-150..20"}, "設定できる温度範囲は－１００～２００℃です。"},
        {{"--humid", "0..101"}, "設定できる湿度範囲は０～1００％RHです。"},
        {{"--ref-humid", "120"}, "設定できる湿度範囲は０～1００％RHです。"},
        {{"--temp", "ten..20"}, "--temp には LOW..HIGH を整数で指定してください: \"ten..20\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli(QStringList{"--out", dir.path() + "/bad.png"} + c.args), 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.message))) << errors.toStdString();
        EXPECT_FALSE(QFile::exists(dir.path() + "/bad.png"));
    }
}

}  // namespace
}  // namespace quillet
