// The recent data files: the list's rule, its own file (CP932, CR LF) beside
// the settings files, and the list after open, save, a restart and a file
// that has gone.
#include "datafile/recentfiles.h"

#include "core/channelfill.h"
#include "core/cp932.h"
#include "core/statusline.h"
#include "core/store.h"
#include "datafile/fileops.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace quillet {
namespace {

using namespace fakes;

QStringList files(const char* names) {
    QStringList out;
    for (const QString& n : QString::fromUtf8(names).split(QLatin1Char(' '), Qt::SkipEmptyParts)) out << "/d/" + n;
    return out;
}

TEST(RecentFiles, NewestFirstNoTwiceAtMostEight) {
    struct Case {
        const char* before;
        const char* file;
        const char* after;
    } cases[] = {
        {"", "a", "a"},
        {"a b c", "d", "d a b c"},
        {"a b c", "b", "b a c"},  // moves to the top, not twice
        {"a b c", "a", "a b c"},
        {"1 2 3 4 5 6 7 8", "9", "9 1 2 3 4 5 6 7"},  // the oldest goes
        {"1 2 3 4 5 6 7 8", "8", "8 1 2 3 4 5 6 7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withRecentFile(files(c.before), "/d/" + QString::fromUtf8(c.file)), files(c.after)) << c.before;
}

TEST(RecentFiles, OwnFileRoundTripAndBadLines) {
    TestContext t;
    const QString path = t.root + "/recent.dat";
    const QStringList list{t.root + "/温度 1.ql6", t.root + "/b.ql6"};
    ASSERT_EQ(runtimeErrorOf(writeRecentFiles(path, list)), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes, cp932::encode(list.join("\r\n") + "\r\n"));
    EXPECT_EQ(readRecentFiles(path), list);

    struct Case {
        QByteArray bytes;
        QStringList want;
    } cases[] = {
        {"", {}},
        {"relative.ql6\r\n\r\n/a.ql6\r\n/a.ql6\r\n", {"/a.ql6"}},  // not absolute, empty, twice
        {"/a.ql6\r\n\x82", {}},                                    // not CP932: nothing, no crash
        {"/1\r\n/2\r\n/3\r\n/4\r\n/5\r\n/6\r\n/7\r\n/8\r\n/9\r\n", {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"}},
    };
    for (const Case& c : cases) {
        QFile w(path);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly | QIODevice::Truncate));
        w.write(c.bytes);
        w.close();
        EXPECT_EQ(readRecentFiles(path), c.want) << c.bytes.toStdString();
    }
    EXPECT_TRUE(readRecentFiles(t.root + "/none.dat").isEmpty());
}

// The main window's status line.
struct StatusView : MainView, StatusLine {
    QString word;
    void showStatus(const QString& text) override { word = text; }
};

TEST(RecentFiles, AfterOpenSaveRestartAndAGoneFile) {
    TestContext t;
    StatusView view;
    t.ctx.view = &view;
    ChannelData a;
    a.samples = ramp(10);
    fillChannel(t.ctx, 1, a);
    rebuildTimeAxis(t.ctx.store);

    // Saved under two names, then the first opened again.
    const QString first = t.root + "/first.ql6";
    const QString second = t.root + "/second.ql6";
    t.dialogs.answers = {first, second};
    ASSERT_EQ(runFileOperation(t.ctx, kSaveAs), FileOutcome::Done);
    ASSERT_EQ(runFileOperation(t.ctx, kSaveAs), FileOutcome::Done);
    EXPECT_EQ(recentFiles(t.ctx), (QStringList{second, first}));
    openDataFileNamed(t.ctx, first);
    EXPECT_EQ(recentFiles(t.ctx), (QStringList{first, second}));
    EXPECT_TRUE(t.messages.shown.empty());

    // Beside the settings files; the settings files themselves unchanged.
    EXPECT_EQ(QFileInfo(recentFilesPath(t.ctx)).absolutePath(), QFileInfo(t.ctx.folders.settingsFile).absolutePath());
    QFile settings(t.ctx.folders.settingsFile);
    const QByteArray settingsBefore = settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();

    // A restart with the same folders finds the list.
    AppContext restarted;
    restarted.folders = t.ctx.folders;
    EXPECT_EQ(recentFiles(restarted), (QStringList{first, second}));

    // A file that has gone leaves the list with a word, not an error box.
    ASSERT_TRUE(QFile::remove(second));
    EXPECT_FALSE(openRecentFile(t.ctx, second));
    EXPECT_EQ(recentFiles(t.ctx), QStringList{first});
    EXPECT_TRUE(view.word.contains(second));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_TRUE(openRecentFile(t.ctx, first));
    EXPECT_EQ(t.ctx.store.dataFileName, first);

    QFile after(t.ctx.folders.settingsFile);
    EXPECT_EQ(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), settingsBefore);
}

TEST(RecentFiles, OpeningFromTheListAsksAboutUnsavedDataFirst) {
    TestContext t;
    ChannelData a;
    a.samples = ramp(10);
    fillChannel(t.ctx, 1, a);
    rebuildTimeAxis(t.ctx.store);
    const QString file = t.root + "/kept.ql6";
    t.dialogs.answers = {file};
    ASSERT_EQ(runFileOperation(t.ctx, kSaveAs), FileOutcome::Done);
    t.ctx.store.unsavedRead = 1;  // new data on screen
    t.messages.answers = {kNo};
    EXPECT_TRUE(openRecentFile(t.ctx, file));
    ASSERT_EQ(t.messages.shown.size(), 1u);  // the question of "開く"
    EXPECT_EQ(t.ctx.store.dataFileName, file);
}

}  // namespace
}  // namespace quillet
