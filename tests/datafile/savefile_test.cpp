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
#include <csignal>
#include <functional>

namespace quillet {
namespace {

// What the last file operation of a test came to.
FileOutcome lastFile = FileOutcome::NoEffect;

using fakes::TestContext;
using filetest::readBytes;
using filetest::writeBytes;

// While alive, no file of this process may grow: every write to a regular
// file fails as it does on a full disk.
class DiskFull {
public:
    DiskFull() {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~DiskFull() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

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

TEST(SaveFailure, FullDiskKeepsTheOldFileAndReportsTheWriteError) {
    const QString writeError = runtimeErrorMessage(kErrWriting);
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
         [](TestContext& t, const QString& path) { return saveTimingSettings(t.ctx.timing, path); }},
        {"general settings", "qlet7.dat",
         [](TestContext& t, const QString& path) { return saveGeneralSettings(t.ctx.general, path); }},
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
        EXPECT_TRUE(t.messages.texts().join('\n').contains(writeError)) << c.name;
    }
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

    EXPECT_EQ(writeFileAtomically(fifo, "new"), kErrWriting);
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(writeFileAtomically(folder, "new"), kErrPathFileAccess);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A link stays a link; the file it points to gets the bytes.
    EXPECT_EQ(writeFileAtomically(link, "new"), 0);
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

    ASSERT_EQ(writeFileAtomically(target, "new"), 0);
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

}  // namespace
}  // namespace quillet
