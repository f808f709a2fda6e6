// Saves that cannot be completed leave the old file as it was and say so:
// a full disk, targets that are not regular files, and the temporaries a
// killed save left behind.
#include "core/savefile.h"
#include "core/catalog.h"
#include "core/settingsfiles.h"
#include "core/store.h"
#include "datafile/datafile.h"
#include "datafile/fileops.h"
#include "filebuilder.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quillet {
namespace {

// What the last file operation of a test came to.
FileOutcome lastFile = FileOutcome::NoEffect;

using fakes::TestContext;
using filetest::asItLies;
using filetest::DiskFull;
using filetest::readBytes;
using filetest::writeBytes;

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

void useOneChannel(AppContext& ctx) {
    ChannelRecord& c = ctx.store.ch[1];
    c.inUse = 1;
    c.startYear = 2013;
    c.startMonth = 11;
    c.startDay = 15;
    c.intervalMinute = 10;
    c.sampleCount = 3;
    for (int i = 1; i <= 3; ++i) ctx.store.samples[1][size_t(i)] = int16_t(250 + i);
    ctx.store.channelsInUse = 1;
    rebuildTimeAxis(ctx.store);
}

TEST(SaveFailure, FullDiskKeepsTheOldFileAndSaysTheDiskIsFull) {
    const QString diskFull = runtimeErrorMessage(61);
    struct Case {
        const char* name;
        const char* file;
        // Saves into path; returns whether the save reported success.
        std::function<bool(TestContext&, const QString& path)> save;
    };
    const Case cases[] = {
        {"overwrite save of a data file", "data.ql6",
         [](TestContext& t, const QString& path) {
             t.ctx.store.currentFileName = path;
             lastFile = runFileOperation(t.ctx, kOverwriteSave);
             return lastFile != FileOutcome::Failed;
         }},
        {"CSV export", "data.csv",
         [](TestContext& t, const QString& path) {
             t.dialogs.answers.push_back(path);
             t.messages.answers.push_back(kOk);  // overwrite it
             lastFile = runFileOperation(t.ctx, kCsvExport);
             return lastFile != FileOutcome::Failed;
         }},
        {"timing settings at exit", "qlet7time.dat",
         [](TestContext& t, const QString& path) { return bool(saveTimingSettings(t.ctx.timing, path)); }},
        {"general settings", "qlet7.dat",
         [](TestContext& t, const QString& path) { return bool(saveGeneralSettings(t.ctx.general, path)); }},
    };
    for (const Case& c : cases) {
        TestContext t;
        useOneChannel(t.ctx);
        const QString path = t.root + "/" + c.file;
        const QByteArray old = "the previous content\r\n";
        writeBytes(path, old);
        bool saved = true;
        {
            DiskFull full;
            saved = c.save(t, path);
        }
        EXPECT_FALSE(saved) << c.name;
        EXPECT_EQ(readBytes(path), old) << c.name;
        const QStringList left = folderEntries(t.root).filter(".quillet-save-");
        EXPECT_TRUE(left.isEmpty()) << c.name << ": " << left.join(' ').toStdString();
        if (QByteArray(c.file).endsWith("dat")) continue;  // settings: the caller tells
        EXPECT_TRUE(t.messages.texts().join('\n').contains(diskFull)) << c.name;
    }
}

// A target the save refuses stays as it was: a link going round in a loop
// is not replaced by a file, a read-only file keeps its bytes and its mode
// (for the super-user too). A full disk leaves the old file; a name that is
// no UTF-8 is written and read back under its own bytes.
TEST(SaveTarget, RefusedTargetsStayAsTheyWereAndNamesKeepTheirBytes) {
    constexpr int kLoop = 75;
    const struct {
        const char* name;
        QByteArray target;
        std::vector<std::pair<const char*, const char*>> links;  // name, where it points
        mode_t mode;                                             // of a file "old" as the target; 0: none
        bool diskFull;
        int refusedAtOnce, error;  // checkSaveTarget, writeFileAtomically
    } cases[] = {
        {"a link to itself", "loop", {{"loop", "loop"}}, 0, false, kLoop, kLoop},
        {"two links leading to each other", "a", {{"a", "b"}, {"b", "a"}}, 0, false, kLoop, kLoop},
        {"a read-only file", "ro.csv", {}, 0444, false, 70, 70},
        {"a name of 256 bytes", QByteArray(252, 'x') + ".csv", {}, 0, false, 10052, 10052},
        {"a full disk", "full.csv", {}, 0644, true, 0, 61},
        {"a name that is no UTF-8", "r\xe9sum\xe9.csv", {}, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        TestContext t;
        const QByteArray target = QFile::encodeName(t.root) + '/' + c.target;
        for (const auto& [name, to] : c.links) ASSERT_EQ(::symlink(to, QFile::encodeName(t.root + '/' + name)), 0);
        if (c.mode) {
            writeBytes(t.root + '/' + c.target, "old");
            ASSERT_EQ(::chmod(target.constData(), c.mode), 0);
        }
        const QByteArray before = asItLies(target);
        const QString path = decodeFileName(target);
        EXPECT_EQ(runtimeErrorOf(checkSaveTarget(path)), c.refusedAtOnce) << c.name;
        std::optional<DiskFull> full;
        if (c.diskFull) full.emplace();
        EXPECT_EQ(runtimeErrorOf(writeFileAtomically(path, "new")), c.error) << c.name;
        full.reset();
        if (c.error != 0) {
            EXPECT_EQ(asItLies(target), before) << c.name;
        } else {
            QByteArray back;
            EXPECT_EQ(runtimeErrorOf(readRegularFile(path, 100, back)), 0) << c.name;
            EXPECT_EQ(back, "new") << c.name;
            EXPECT_TRUE(asItLies(target).endsWith(" new")) << c.name;  // under the name's own bytes
        }
        EXPECT_TRUE(folderEntries(t.root).filter(".quillet-save-").isEmpty()) << c.name;
    }
}

// A name's bytes survive the way through a QString, whatever they are:
// Latin-1, cut short, a longer form than needed, a surrogate spelt in UTF-8,
// past U+10FFFF. UTF-8 reads as itself.
TEST(FileNames, EveryByteOfANameSurvives) {
    for (const QByteArray bytes : {"plain", "\xe6\x97\xa5\xf0\x9f\x98\x80", "r\xe9sum\xe9", "\xe6\x97.csv", "\xc0\xaf",
                                   "\xed\xb3\xa9", "\xf4\x90\x80\x80\xff"}) {
        const QString name = decodeFileName(bytes);
        EXPECT_EQ(encodeFileName(name), bytes) << bytes.toHex().constData();
        EXPECT_EQ(name == QString::fromUtf8(bytes), QByteArrayView(bytes).isValidUtf8()) << bytes.toHex().constData();
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter)) << bytes.toHex().constData();
    }
}

// Reasons a test cannot bring about show as the errors that name them.
TEST(SaveFailure, TheSystemsReasonIsTheErrorShown) {
    for (const auto& [systemError, error] : {std::pair(ENOSPC, 61), std::pair(EROFS, 70)})
        EXPECT_EQ(runtimeErrorOf(saveErrorOf(systemError)), error) << systemError;
}

TEST(SaveFailure, OnlyRegularFilesAreReplaced) {
    TestContext t;
    const QString fifo = t.root + "/pipe.ql6";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = t.root + "/folder.ql6";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString real = t.root + "/real.ql6";
    writeBytes(real, "old");
    const QString link = t.root + "/link.ql6";
    ASSERT_TRUE(QFile::link(real, link));

    EXPECT_EQ(runtimeErrorOf(writeFileAtomically(fifo, "new")), 31036);
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(runtimeErrorOf(writeFileAtomically(folder, "new")), 75);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A link stays a link; the file it points to gets the bytes.
    EXPECT_EQ(runtimeErrorOf(writeFileAtomically(link, "new")), 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(real), "new");
    EXPECT_TRUE(folderEntries(t.root).filter(".quillet-save-").isEmpty());
}

TEST(SaveFailure, StaleTemporariesOfTheSameTargetAreRemoved) {
    TestContext t;
    const QString target = t.root + "/a.ql6";
    const QStringList stale = {".a.ql6.quillet-save-Ab12Cd", ".a.ql6.quillet-save-zzzzzz"};
    const QStringList kept = {".b.ql6.quillet-save-Ab12Cd", ".a.ql6.quillet-save-longer1", "a.ql6.backup"};
    for (const QString& n : stale + kept) writeBytes(t.root + "/" + n, "x");
    writeBytes(target, "old");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);

    ASSERT_EQ(runtimeErrorOf(writeFileAtomically(target, "new")), 0);
    EXPECT_EQ(readBytes(target), "new");
    const auto rw = QFile::ReadOwner | QFile::WriteOwner;
    EXPECT_EQ(QFile::permissions(target) & (rw | QFile::ReadGroup | QFile::ReadOther), rw);  // kept
    QStringList expected = kept;
    expected << "a.ql6";
    QStringList entries = folderEntries(t.root);
    entries.removeAll("qlet7.dat");
    entries.sort();
    expected.sort();
    for (const QString& e : expected) EXPECT_TRUE(entries.contains(e)) << e.toStdString();
    for (const QString& s : stale) EXPECT_FALSE(entries.contains(s)) << s.toStdString();
}

// Any legal name saves: the temporary beside it must fit the same limit of
// 255 bytes, for ASCII and for three-byte Japanese names alike.
TEST(SaveTarget, NamesUpToTheLimitSave) {
    TestContext t;
    struct Case {
        QString name;
    } cases[] = {
        {QString(230, 'a') + ".ql6"},          {QString(231, 'a') + ".ql6"}, {QString(246, 'b') + ".ql6"},  // 250 bytes
        {QString(251, 'c') + ".ql6"},                                                                       // 255 bytes
        {QString(83, QChar(0x3042)) + ".ql6"},  // 253 bytes in UTF-8
    };
    for (const Case& c : cases) {
        const QString target = t.root + "/" + c.name;
        const QByteArray encoded = QFile::encodeName(c.name);
        EXPECT_LE(QFile::encodeName(saveTemporaryPrefix(c.name)).size() + 6, 255) << encoded.size();
        for (const QByteArray& bytes : {QByteArray("first"), QByteArray("second")}) {
            EXPECT_EQ(runtimeErrorOf(writeFileAtomically(target, bytes)), 0) << encoded.size();
            EXPECT_EQ(readBytes(target), bytes) << encoded.size();
        }
        EXPECT_TRUE(folderEntries(t.root).filter(".quillet-save-").isEmpty()) << encoded.size();
    }
    // A stale temporary of a long name is found again by its prefix.
    const QString longName = QString(246, 'd') + ".ql6";
    const QString stale = saveTemporaryPrefix(longName) + "Zz9Zz9";
    writeBytes(t.root + "/" + stale, "x");
    EXPECT_EQ(runtimeErrorOf(writeFileAtomically(t.root + "/" + longName, "new")), 0);
    EXPECT_FALSE(QFile::exists(t.root + "/" + stale));
}

// A name that exists in any form, a link pointing nowhere included, is an
// existing file: the save asks first and, declined, writes nothing through
// the link.
TEST(SaveTarget, ANameTakenInAnyFormIsAnExistingFile) {
    TestContext t;
    useOneChannel(t.ctx);
    const QString outside = t.root + "/elsewhere/target.ql6";
    ASSERT_TRUE(QDir().mkpath(t.root + "/elsewhere"));
    writeBytes(t.root + "/file.ql6", "x");
    ASSERT_TRUE(QFile::link(outside, t.root + "/dangling.ql6"));
    ASSERT_TRUE(QFile::link(t.root + "/file.ql6", t.root + "/link.ql6"));
    ASSERT_TRUE(QDir().mkpath(t.root + "/folder.ql6"));
    ASSERT_EQ(mkfifo(QFile::encodeName(t.root + "/pipe.ql6").constData(), 0600), 0);
    const struct {
        const char* name;
        bool taken;
    } cases[] = {
        {"missing.ql6", false}, {"file.ql6", true},   {"dangling.ql6", true},
        {"link.ql6", true},     {"folder.ql6", true}, {"pipe.ql6", true},
    };
    for (const auto& c : cases) {
        const QString name = t.root + "/" + c.name;
        EXPECT_EQ(nameTaken(name), c.taken) << c.name;
        t.messages.shown.clear();
        t.dialogs.answers.push_back(name);
        t.messages.answers.push_back(kCancel);
        const FileOutcome outcome = runFileOperation(t.ctx, kSaveAs);
        EXPECT_EQ(t.messages.shown.size(), c.taken ? 1u : 0u) << c.name;
        EXPECT_EQ(outcome, c.taken ? FileOutcome::Cancelled : FileOutcome::Done) << c.name;
        t.messages.answers.clear();
    }
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_TRUE(QFileInfo(t.root + "/dangling.ql6").isSymLink());
}

// Only regular files are read, and the others are refused at once: a FIFO
// is never opened and waited on.
TEST(ReadInput, OnlyRegularFilesAreRead) {
    TestContext t;
    writeBytes(t.root + "/file", "content");
    ASSERT_TRUE(QFile::link(t.root + "/file", t.root + "/link"));
    ASSERT_TRUE(QFile::link(t.root + "/none", t.root + "/dangling"));
    ASSERT_TRUE(QDir().mkpath(t.root + "/folder"));
    ASSERT_EQ(mkfifo(QFile::encodeName(t.root + "/pipe").constData(), 0600), 0);
    const struct {
        const char* name;
        int error;
        QByteArray bytes;
    } cases[] = {
        {"file", 0, "content"}, {"link", 0, "content"}, {"missing", 53, {}},
        {"dangling", 53, {}},   {"folder", 75, {}},     {"pipe", 75, {}},
    };
    for (const auto& c : cases) {
        QByteArray bytes = "stale";
        EXPECT_EQ(runtimeErrorOf(readRegularFile(t.root + "/" + c.name, 100, bytes)), c.error) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
    }
    QByteArray bytes;
    EXPECT_EQ(runtimeErrorOf(readRegularFile(t.root + "/file", 3, bytes)), 0);
    EXPECT_EQ(bytes, "con");

    // A FIFO where a settings file belongs loads the defaults.
    const QString settings = t.root + "/settings-pipe.dat";
    ASSERT_EQ(mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    GeneralSettings g;
    g.comPort = 7;
    loadGeneralSettings(g, settings);
    EXPECT_EQ(g.comPort, GeneralSettings{}.comPort);
}

// A folder the user may not write to is a permission failure, not a
// missing path (root may write anywhere: nothing to see then).
TEST(SaveTarget, AReadOnlyFolderIsAPermissionFailure) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TestContext t;
    const QString folder = t.root + "/locked";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(runtimeErrorOf(writeFileAtomically(folder + "/a.ql6", "x")), 70);
    EXPECT_EQ(runtimeErrorOf(createFolder(folder + "/new/sub")), 70);
    EXPECT_FALSE(QFileInfo::exists(folder + "/new"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
}  // namespace quillet
