// What the windows ask about first, quillet-cli refuses unless --force:
// replacing a data file with a read-out, erasing records nobody read. It
// refuses as well what would leave a file nobody can open (a convert to
// another layout's name) and a graph bound that is no number. A refusal
// writes nothing and sends the logger nothing but the reads.
#include "core/catalog.h"
#include "core/channelfill.h"
#include "datafile/datafile.h"
#include "support/clirun.h"
#include "support/fakes.h"
#include "support/simprocess.h"
#include "support/toolmissing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace quillet;

namespace {

using fakes::CliRun;
using fakes::kCli;
using fakes::runCli;

// Every file under root (but the simulator's log) with its bytes.
QMap<QString, QByteArray> filesUnder(const QString& root) {
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString name = it.next();
        if (name.endsWith("frames.log")) continue;
        QFile f(name);
        files[name.mid(root.size() + 1)] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?");
    }
    return files;
}

}  // namespace

TEST(CliRefusals, RefusedUnlessForcedAndNothingWritten) {
    // A data file with a temperature and a humidity channel.
    fakes::TestContext t;
    fakes::fillChannel(t.ctx, 1, {.kind = 1, .samples = fakes::ramp(30, 200)});
    fakes::fillChannel(t.ctx, 2, {.kind = 2, .samples = fakes::ramp(30, 500)});
    const QByteArray data = ql6Bytes(t.ctx.store);

    const QString erases = messageText(Msg::WritingErasesMemory);
    const QString overwrite = messageText(Msg::OverwriteFile);
    const QString notWhole = "expects LOW..HIGH in whole numbers";
    // "@name" is a file of the scratch home, "DEV" the simulator's device.
    const struct {
        const char* what;
        QStringList logger;  // the simulator's options; none: no simulator
        QStringList command;
        int exitCode;
        QString said;         // on stderr or stdout ("@": the scratch home)
        QStringList frames;   // the log: all of it after a refusal, how it begins otherwise
        QStringList changed;  // the files of the home that differ afterwards
    } cases[] = {
        {"read over a data file",
         {"--records", "20"},
         {"read", "--device", "DEV", "--out", "@kept.ql6"},
         1,
         overwrite,
         {},
         {}},
        {"read over a data file, forced",
         {"--records", "20"},
         {"read", "--device", "DEV", "--out", "@kept.ql6", "--force"},
         0,
         "Saved 2 channel(s)",
         {"1,1", "1,4", "1,2"},
         {"kept.ql6"}},
        {"read to a new file",
         {"--records", "20"},
         {"read", "--device", "DEV", "--out", "@new.ql6"},
         0,
         "Saved 2 channel(s)",
         {"1,1", "1,4", "1,2"},
         {"new.ql6"}},
        {"set, unread records",
         {"--records", "20"},
         {"set", "--device", "DEV"},
         1,
         erases + "\nquillet-cli: the logger holds 20 records that were not read",
         {"1,3", "1,1", "1,4"},
         {}},
        {"set, unread records, forced",
         {"--records", "20"},
         {"set", "--device", "DEV", "--force"},
         0,
         "Written:",
         {"1,3", "1,1", "3,5 10"},
         {}},
        {"set, nothing recorded",
         {"--records", "0"},
         {"set", "--device", "DEV"},
         0,
         "Written:",
         {"1,3", "1,1", "1,4", "3,5 10"},
         {}},
        {"convert to an old layout's name",
         {},
         {"convert", "@kept.ql6", "--out", "@old.qlg"},
         1,
         "--out must end in .ql6",
         {},
         {}},
        {"convert to another name",
         {},
         {"convert", "@kept.ql6", "--out", "@kept.txt"},
         1,
         "--out must end in .ql6",
         {},
         {}},
        {"convert onto itself",
         {},
         {"convert", "@kept.ql6", "--out", "@kept.ql6"},
         1,
         messageText(Msg::OutputIsInput, {"@kept.ql6", "@kept.ql6"}),
         {},
         {}},
        {"convert, upper-case extension", {}, {"convert", "@kept.ql6", "--out", "@copy.QL6"}, 0, "", {}, {"copy.QL6"}},
        {"graph-range NaN", {}, {"graph-range", "@kept.ql6", "--temp", "NaN..5", "--save"}, 1, notWhole, {}, {}},
        {"graph-range inf", {}, {"graph-range", "@kept.ql6", "--humid", "10..inf", "--save"}, 1, notWhole, {}, {}},
        {"graph-range -inf", {}, {"graph-range", "@kept.ql6", "--temp", "-inf..5", "--save"}, 1, notWhole, {}, {}},
        {"graph-range, a fraction",
         {},
         {"graph-range", "@kept.ql6", "--temp", "1.5..5", "--save"},
         1,
         notWhole,
         {},
         {}},
        {"graph-range, out of range",
         {},
         {"graph-range", "@kept.ql6", "--temp", "300..400", "--save"},
         1,
         messageText(Msg::TemperatureRange),
         {},
         {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir home;
        QFile kept(home.filePath("kept.ql6"));
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write(data) == data.size());
        kept.close();
        std::unique_ptr<fakes::SimProcess> sim;
        if (!k.logger.isEmpty()) {
            sim = std::make_unique<fakes::SimProcess>(k.logger + QStringList{"--log", home.filePath("frames.log")});
            if (sim->devicePath().isEmpty()) QUILLET_TOOL_MISSING("simulator not built");
        }
        if (!QFile::exists(kCli)) QUILLET_TOOL_MISSING("quillet-cli not built");
        QStringList args;
        for (const QString& arg : k.command)
            args << (arg == "DEV" ? sim->devicePath() : arg.startsWith('@') ? home.filePath(arg.mid(1)) : arg);
        const QMap<QString, QByteArray> before = filesUnder(home.path());
        const CliRun r = runCli(args, home.path());

        EXPECT_EQ(r.exitCode, k.exitCode) << r.err.toStdString();
        EXPECT_TRUE((r.err + r.out).contains(QString(k.said).replace("@", home.path() + "/"))) << r.err.toStdString();
        if (k.exitCode != 0) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
            EXPECT_TRUE(r.err.contains("--force") || k.logger.isEmpty()) << r.err.toStdString();
        }
        const QMap<QString, QByteArray> after = filesUnder(home.path());
        QStringList changed;
        for (const QString& name : before.keys() + after.keys())
            if (before.value(name) != after.value(name) && !changed.contains(name)) changed << name;
        EXPECT_EQ(changed, k.changed);
        if (sim) {
            const QStringList frames = fakes::SimProcess::loggedFrames(home.filePath("frames.log"));
            EXPECT_EQ(k.exitCode != 0 ? frames : frames.mid(0, k.frames.size()), k.frames)
                << frames.join(" | ").toStdString();
        }
    }
}
