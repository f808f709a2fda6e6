#include "core/cp932.h"
#include "core/settingsfiles.h"
#include "core/startup.h"

#include "support/fakes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quillet;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Settings that cannot be encoded are not written at all: the file keeps
// the setting characters it had instead of losing them.
TEST(Settings, AnEncodingFailureKeepsTheOldFile) {
    fakes::TestContext t;
    t.ctx.general.settingCharCard[3] = QStringLiteral("北工場");
    ASSERT_TRUE(saveGeneralSettings(t.ctx.general, t.ctx.folders.settingsFile));
    const QByteArray before = readAll(t.ctx.folders.settingsFile);
    const char* previous = cp932::setConverterName("no-such-converter");
    t.ctx.general.settingCharCard[3] = QStringLiteral("南工場");
    const bool saved = saveGeneralSettings(t.ctx.general, t.ctx.folders.settingsFile) ||
                       saveTimingSettings(t.ctx.timing, t.ctx.folders.timingFile);
    cp932::setConverterName(previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readAll(t.ctx.folders.settingsFile), before);
    EXPECT_FALSE(QFile::exists(t.ctx.folders.timingFile));
}

}  // namespace

// Held graph bounds come back at start-up; bounds the range dialog could
// never have held leave that axis automatic.
TEST(Cp932, WindowsVariant) {
    EXPECT_EQ(cp932::encode(QString::fromUtf8("～")), QByteArray("\x81\x60"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("ﾟ")), QByteArray("\xDF"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("設定値")), QByteArray("\x90\xDD\x92\xE8\x92\x6C"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("①")), QByteArray("\x87\x40"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("\xF0\x9F\x98\x80")), QByteArray("?"));  // not in CP932
    EXPECT_EQ(cp932::decode("\x81\x60"), QString::fromUtf8("～"));
    EXPECT_FALSE(cp932::decode("\x81").has_value());      // cut-off lead byte
    EXPECT_FALSE(cp932::decode("\x85\x40").has_value());  // unassigned
    // ASCII is itself, control characters included (as on Windows).
    for (int b = 1; b < 0x80; ++b) {
        const QByteArray byte(1, char(b));
        EXPECT_EQ(cp932::decode(byte), QString(QChar(b))) << b;
        EXPECT_EQ(cp932::encode(QString(QChar(b))), byte) << b;
    }
}

// Whatever decodes loads back as the same text after a save: every single
// byte and every pair, alone and after a double-byte character (which sends
// the text through the converter rather than the ASCII path). The bytes come
// back as they were, apart from the characters CP932 holds twice (the NEC and
// IBM copies), which encode to one of their copies.
TEST(Cp932, DecodeThenEncodeIsInverse) {
    const QByteArray kana("\x82\xA0");  // "あ"
    int exactPairs = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            QByteArray bytes(1, char(a));
            if (b >= 0) bytes.append(char(b));
            for (const QByteArray& input : {bytes, kana + bytes}) {
                const std::optional<QString> text = cp932::decode(input);
                if (!text) continue;
                bool ok = false;
                const QByteArray again = cp932::encode(*text, &ok);
                ASSERT_TRUE(ok);
                ASSERT_EQ(cp932::decode(again), text) << input.toHex().constData();
                if (again == input) ++exactPairs;
                const bool single = a < 0x80 && b < 0x80;  // control characters and ASCII
                if (single) {
                    EXPECT_EQ(again, input) << input.toHex().constData();
                }
            }
        }
    }
    EXPECT_GT(exactPairs, 2 * 128 * 129);
    // The bytes that ICU's own table would move, inside Japanese text.
    for (const char c : {'\x1A', '\x1C', '\x7F'}) {
        const QByteArray input = QByteArray("\xE5\x73,") + c;
        EXPECT_EQ(cp932::encode(*cp932::decode(input)), input);
        EXPECT_EQ(cp932::decode(input)->back(), QChar(uchar(c)));
    }
}

TEST(Settings, GeneralDefaultsBytes) {
    GeneralSettings g;
    const QByteArray bytes = generalSettingsBytes(g);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 259);  // 258 lines and the empty rest after the last LF
    EXPECT_EQ(lines[0], "\"\",\"\"\r");
    EXPECT_EQ(lines[255], "\"\",\"\"\r");
    EXPECT_EQ(lines[256], "1,0,0,\"12:00\"\r");
    EXPECT_EQ(lines[257], "0,0,100,0,100,0\r");
    EXPECT_TRUE(lines[258].isEmpty());
}

TEST(Settings, GeneralRoundTripWithSettingCharacters) {
    fakes::TestContext t;
    GeneralSettings g;
    g.settingCharCard[0] = QString::fromUtf8("ｱ");
    g.settingCharCard[26] = QString::fromUtf8("倉庫,A");
    g.settingCharTest[255] = QString::fromUtf8("～");
    g.comPort = 5;
    g.usualCommunicationTask = 1;
    g.usualCommunicationNaming = 1;
    g.usualCommunicationStartTime = "08:30";
    g.tempManual = 1;
    g.tempMax = 40;
    g.tempMin = -20;
    g.humidMin = 10;
    const QString path = t.ctx.folders.settingsFile;
    ASSERT_TRUE(saveGeneralSettings(g, path));
    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.startsWith("\"\xB1\",\"\"\r\n"));
    EXPECT_TRUE(bytes.contains("\"\",\"\x81\x60\"\r\n5,1,1,\"08:30\"\r\n1,0,40,-20,100,10\r\n"));

    GeneralSettings back;
    loadGeneralSettings(back, path);
    EXPECT_EQ(back.settingCharCard[0], g.settingCharCard[0]);
    EXPECT_EQ(back.settingCharCard[26], g.settingCharCard[26]);
    EXPECT_EQ(back.settingCharTest[255], g.settingCharTest[255]);
    EXPECT_EQ(back.comPort, 5);
    EXPECT_EQ(back.usualCommunicationStartTime, "08:30");
    EXPECT_EQ(back.tempMin, -20);
    EXPECT_EQ(back.humidMin, 10);
}

TEST(Settings, TimingAndDebugBytes) {
    const QByteArray timing =
        cp932::encode(QString::fromUtf8("\"設定値,説明,デフォルト値\"\r\n"
                                        "10,\"設定コマンド間の待ち時間,10\"\r\n"
                                        "10,\"コマンド間の待ち時間,10\"\r\n"
                                        "1000,\"読み込み時のタイムアウト時間,1000\"\r\n"));
    EXPECT_EQ(timingSettingsBytes(TimingSettings{}), timing);
    const QByteArray debug =
        cp932::encode(QString::fromUtf8("#FALSE#,\"デバッグモード\"\r\n0,\"コマンドリード後のWaitTimer\"\r\n"));
    EXPECT_EQ(debugSettingsBytes(DebugSettings{}), debug);
    DebugSettings on{true, 50};
    EXPECT_TRUE(debugSettingsBytes(on).startsWith("#TRUE#,"));
}

TEST(Settings, FirstRunAndShutdownWriteTheDefaults) {
    fakes::TestContext t;
    EXPECT_EQ(t.ctx.general.comPort, 1);
    EXPECT_EQ(t.ctx.general.usualCommunicationStartTime, "12:00");
    EXPECT_EQ(t.ctx.general.tempMax, 100);
    EXPECT_EQ(t.ctx.general.humidMin, 0);
    EXPECT_FALSE(QFile::exists(t.ctx.folders.settingsFile));  // created only by a dialog
    EXPECT_TRUE(requestShutdown(t.ctx));
    EXPECT_EQ(readAll(t.ctx.folders.timingFile), timingSettingsBytes(TimingSettings{}));
    EXPECT_EQ(readAll(t.ctx.folders.debugFile), debugSettingsBytes(DebugSettings{}));
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST(Settings, ShutdownWithUnsavedDataCancelledStillWritesFiles) {
    fakes::TestContext t;
    t.ctx.store.ch[1].inUse = 1;
    t.ctx.store.channelsInUse = 1;
    t.ctx.store.unsavedRead = 1;
    t.ctx.timing.readTimeout = 2000;
    t.messages.answers = {kCancel};
    EXPECT_FALSE(requestShutdown(t.ctx));
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, QString::fromUtf8("ロガーのデータが保存されていません。\r\n終了しますか？"));
    TimingSettings back;
    loadTimingSettings(back, t.ctx.folders.timingFile);
    EXPECT_EQ(back.readTimeout, 2000);
}

TEST(Settings, DamagedFilesFallBackToDefaults) {
    fakes::TestContext t;
    const QString g = t.ctx.folders.settingsFile;
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"truncated", "\"a\",\"b\"\r\n\"c\""},
        {"not cp932", "\"\x81\",\"\x85\x40\"\r\n"},
        {"wrong types", QByteArray("\"\",\"\"\r\n").repeated(256) + "x,y,z,12:00\r\n1,2,abc,99999,5,6\r\n"},
        {"binary", QByteArray(300, '\0')},
    };
    for (const auto& c : cases) {
        writeAll(g, c.bytes);
        GeneralSettings s;
        loadGeneralSettings(s, g);
        EXPECT_EQ(s.comPort, 1) << c.name;
        EXPECT_EQ(s.usualCommunicationStartTime, "12:00") << c.name;
        EXPECT_EQ(s.tempMin, 0) << c.name;
    }
    // What could be read is kept.
    writeAll(g, QByteArray("\"a\",\"b\"\r\n").repeated(256) + "x,y,z,12:00\r\n1,2,abc,99999,5,6\r\n");
    GeneralSettings s;
    loadGeneralSettings(s, g);
    EXPECT_EQ(s.settingCharCard[255], "a");
    EXPECT_EQ(s.tempManual, 1);
    EXPECT_EQ(s.tempMax, 100);  // "abc"
    EXPECT_EQ(s.tempMin, 0);    // out of range
    EXPECT_EQ(s.humidMax, 5);

    writeAll(t.ctx.folders.timingFile, "\"h\"\r\n-5,\"x\"\r\n25\r\n");
    TimingSettings tm;
    loadTimingSettings(tm, t.ctx.folders.timingFile);
    EXPECT_EQ(tm.setCommandWait, 10);
    EXPECT_EQ(tm.commandWait, 25);
    EXPECT_EQ(tm.readTimeout, 1000);
    // A receive timer of 0 ms would fail every read: 0 is out of range too,
    // while no pause between commands is fine.
    writeAll(t.ctx.folders.timingFile, "\"h\"\r\n0,\"x\"\r\n0,\"y\"\r\n0,\"z\"\r\n");
    loadTimingSettings(tm, t.ctx.folders.timingFile);
    EXPECT_EQ(tm.setCommandWait, 0);
    EXPECT_EQ(tm.commandWait, 0);
    EXPECT_EQ(tm.readTimeout, 1000);

    writeAll(t.ctx.folders.debugFile, "#TRUE#\r\nnope\r\n");
    DebugSettings d;
    loadDebugSettings(d, t.ctx.folders.debugFile);
    EXPECT_TRUE(d.debugMode);
    EXPECT_EQ(d.waitAfterCommandRead, 0);
}

TEST(Settings, LongSettingCharactersAreCut) {
    fakes::TestContext t;
    writeAll(t.ctx.folders.settingsFile,
             "\"" + QByteArray(200, 'x') + "\",\"" + QByteArray("\x82\xA0").repeated(40) + "\"\r\n");
    GeneralSettings s;
    loadGeneralSettings(s, t.ctx.folders.settingsFile);
    EXPECT_EQ(s.settingCharCard[0].size(), kMaxSettingCharBytes);
    EXPECT_EQ(s.settingCharTest[0].size(), kMaxSettingCharBytes / 2);
}

TEST(Startup, FoldersAndLayout) {
    fakes::TestContext t;
    const Folders& f = t.ctx.folders;
    EXPECT_TRUE(f.settingsFolder.endsWith("appdata/ORVELL/Quillet7"));
    EXPECT_TRUE(QDir(f.settingsFolder).exists());
    EXPECT_TRUE(QDir(f.documentsFolder).exists());
    EXPECT_EQ(f.settingsFile, f.settingsFolder + "/qlet7.dat");
    EXPECT_EQ(f.timingFile, f.settingsFolder + "/qlet7time.dat");
    EXPECT_EQ(f.debugFile, f.settingsFolder + "/qlot7debug.dat");
    EXPECT_EQ(f.numberFolder, f.documentsFolder + "/number");
    EXPECT_EQ(f.dateFolder, f.documentsFolder + "/date");
    EXPECT_EQ(t.ctx.store.currentFileName, f.documentsFolder + "/test.ql6");

    const struct {
        int w, h, dw, dh, font, line, row;
    } cases[] = {
        {1366, 768, 1024, 680, 11, 165, 248},
        {1280, 1024, 1280, 980, 18, 270, 405},
        {1024, 768, 800, 600, 10, 150, 225},
        {800, 480, 640, 480, 8, 120, 180},
    };
    for (const auto& c : cases) {
        const LayoutValues l = layoutForScreen(c.w, c.h);
        EXPECT_EQ(l.designWidth, c.dw) << c.w << "x" << c.h;
        EXPECT_EQ(l.designHeight, c.dh);
        EXPECT_EQ(l.fontSize, c.font);
        EXPECT_EQ(l.lineTwips, c.line);
        EXPECT_EQ(l.rowTwips, c.row);
    }
}
