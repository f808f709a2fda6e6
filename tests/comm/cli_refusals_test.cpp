// What the windows ask about first, quillet-cli refuses unless --force
// (replacing a data file by a read-out, erasing records nobody read), and
// what nobody could use (a convert under another layout's name, a graph
// bound that is no number). A refusal writes nothing and sends only reads.
#include "core/catalog.h"
#include "core/channelfill.h"
#include "datafile/datafile.h"
#include "support/clirun.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace quillet;

// Every file under root (the simulator's log aside) with its bytes.
static QMap<QString, QByteArray> filesUnder(const QString& root) {
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        if (QFile f(it.next()); !f.fileName().endsWith("frames.log") && f.open(QIODevice::ReadOnly))
            files[QFileInfo(f).fileName()] = f.readAll();
    return files;
}

TEST(CliRefusals, RefusedUnlessForcedAndNothingWritten) {
    fakes::TestContext t;
    fakes::fillChannel(t.ctx, 1, {.kind = 1, .samples = fakes::ramp(30)});
    const QByteArray data = ql6Bytes(t.ctx.store);
    const QStringList held = {"--records", "20"};  // a logger holding records nobody read
    const QString whole = QString::fromUtf8("には LOW..HIGH を整数で指定してください");
    const QString ql6Only = QString::fromUtf8("--out の名前は .ql6 で終わる必要があります");
    const QString same = messageText(Msg::OutputIsInput, {"@d.ql6", "@d.ql6"});
    const struct {
        QStringList logger;   // the simulator's options; none: no simulator
        QStringList command;  // "DEV": its device; "@name": a file of the scratch home
        int exitCode;
        QString said;         // on stderr or stdout
        QStringList frames;   // the log: all of it after a refusal, how it begins otherwise
        QStringList changed;  // the files that differ afterwards
    } cases[] = {
        {held, {"read", "--device", "DEV", "--out", "@d.ql6"}, 1, messageText(Msg::OverwriteFile), {}, {}},
        // The read-out goes into the user's archive as well.
        {held,
         {"read", "--device", "DEV", "--out", "@d.ql6", "--force"},
         0,
         QString::fromUtf8("2 チャンネルを @d.ql6 に保存しました"),
         {"1,1", "1,4"},
         {"d.ql6", "quillet-archive.sqlite"}},
        {held, {"read", "--device", "DEV", "--out", "@new.qlg"}, 1, ql6Only, {}, {}},
        {held, {"set", "--device", "DEV"}, 1, messageText(Msg::WritingErasesMemory), {"1,3", "1,1", "1,4"}, {}},
        {held, {"set", "--device", "DEV", "--force"}, 0, QString::fromUtf8("書き込み: "), {"1,3", "1,1", "3,5 10"}, {}},
        {{}, {"convert", "@d.ql6", "--out", "@old.qlg"}, 1, ql6Only, {}, {}},
        {{}, {"convert", "@d.ql6", "--out", "@d.ql6"}, 1, same, {}, {}},
        {{}, {"graph-range", "@d.ql6", "--temp", "NaN..5", "--save"}, 1, whole, {}, {}},
        {{}, {"graph-range", "@d.ql6", "--temp", "-inf..inf", "--save"}, 1, whole, {}, {}},
        {{}, {"graph-range", "@d.ql6", "--temp", "300..400", "--save"}, 1, messageText(Msg::TemperatureRange), {}, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.command.join(' ').toStdString());
        QTemporaryDir home;
        QFile file(home.filePath("d.ql6"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        file.close();
        std::unique_ptr<fakes::SimProcess> sim;
        if (!k.logger.isEmpty())
            sim = std::make_unique<fakes::SimProcess>(k.logger + QStringList{"--log", home.filePath("frames.log")});
        if ((sim && sim->devicePath().isEmpty()) || !QFile::exists(fakes::kCli))
            QUILLET_TOOL_MISSING("tools not built");
        QStringList args;
        for (const QString& arg : k.command)
            args << (arg == "DEV" ? sim->devicePath() : arg.startsWith('@') ? home.filePath(arg.mid(1)) : arg);
        const QMap<QString, QByteArray> before = filesUnder(home.path());
        const fakes::CliRun r = fakes::runCli(args, home.path());

        EXPECT_EQ(r.exitCode, k.exitCode) << r.err.toStdString();
        EXPECT_TRUE((r.err + r.out).contains(QString(k.said).replace("@", home.path() + "/"))) << r.err.toStdString();
        if (k.exitCode != 0) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
        const QMap<QString, QByteArray> after = filesUnder(home.path());
        QStringList changed;
        QStringList names = before.keys() + after.keys();
        names.removeDuplicates();
        for (const QString& name : names)
            if (before.value(name) != after.value(name)) changed << name;
        EXPECT_EQ(changed, k.changed);
        if (sim) {
            const QStringList frames = fakes::SimProcess::loggedFrames(home.filePath("frames.log"));
            EXPECT_EQ(k.exitCode != 0 ? frames : frames.mid(0, k.frames.size()), k.frames)
                << frames.join(" | ").toStdString();
        }
    }
}
