// What the logger holds after the settings dialog's values went through the
// writer: the dialog is the unseen one (as the usual communication and the
// command line use it), the logger the simulator's device model, so the
// check is on what the logger reports, not on the program's own encoding.
#include "comm/link.h"
#include "comm/settingswriter.h"
#include "core/catalog.h"
#include "loggerset/unseensettings.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

struct Rig {
    explicit Rig(const sim::Config& config)
        : device(config, [this] { return t.clock.ms; }), line(device), serial(t.clock, line) {
        t.ctx.serial = &serial;
        serial.paced = false;
    }
    fakes::TestContext t;
    sim::Device device;
    fakes::DeviceLine line;
    fakes::SimSerial serial;

    QList<QByteArray> framesStarting(const char* head) const {
        QList<QByteArray> out;
        for (const QByteArray& f : device.log())
            if (f.startsWith(head)) out << f;
        return out;
    }
};

constexpr int kUnset = 0xFFF;

}  // namespace

TEST(SettingsReadBack, TheLoggerHoldsTheReferenceTheUserLeftOrChose) {
    const struct {
        const char* what;
        int model;
        int rangeCode;                      // model 3: its range/mode code; 0 = the model's default
        int raw1, side1, raw2;              // the logger's references before
        const char* typed;                  // CH1 reference entered in the dialog; nullptr = left alone
        QByteArray frame;                   // the 3,4 sent
        int readRaw1, readSide1, readRaw2;  // what the logger holds afterwards
    } cases[] = {
        {"model 2, never set", 2, 0, kUnset, 0, kUnset, nullptr, "3,4 FFF0FFF0", kUnset, 0, kUnset},
        {"model 1, never set, CH1 chosen", 1, 0, kUnset, 0, kUnset, "25", "3,4 A820FFF0", 650, 0, kUnset},
        {"model 2, both set, left alone", 2, 0, 650, 8, 300, nullptr, "3,4 A828C218", 650, 8, 300},
        {"model 3, never set", 3, 0, kUnset, 0, kUnset, nullptr, "3,4 FFF0", kUnset, 0, kUnset},
        {"model 3, range 50..150, set, left alone", 3, 3, 200, 8, kUnset, nullptr, "3,4 8C08", 200, 8, kUnset},
        {"model 3, range 0..100, chosen", 3, 2, kUnset, 0, kUnset, "30", "3,4 C210", 300, 0, kUnset},
        {"model 3, range 50..150, chosen", 3, 3, kUnset, 0, kUnset, "149", "3,4 ED30", 990, 0, kUnset},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        sim::Config c;
        c.model = k.model;
        if (k.rangeCode) c.rangeCode[0] = k.rangeCode;
        c.referenceRaw[0] = k.raw1;
        c.referenceSide[0] = k.side1;
        c.referenceRaw[1] = k.raw2;
        Rig rig(c);
        UnseenSettingsDialog dialog;
        dialog.edit = [&k](AppContext&, SettingsState& s) {
            if (!k.typed) return true;
            const QString previous = s.referenceText[1];
            s.referenceText[1] = QString::fromLatin1(k.typed);
            return checkReferenceValue(s, 1, previous).accepted();
        };
        EXPECT_EQ(prepareSettings(rig.t.ctx, dialog), Preparation::DialogRan);
        ASSERT_EQ(dialog.status, Exchange::Accepted);
        EXPECT_EQ(rig.framesStarting("3,4"), QList<QByteArray>{k.frame});
        EXPECT_EQ(rig.device.referenceRaw(1), k.readRaw1);
        EXPECT_EQ(rig.device.referenceSide(1), k.readSide1);
        if (k.model != 3) {
            EXPECT_EQ(rig.device.referenceRaw(2), k.readRaw2);
        }
    }
}

TEST(SettingsReadBack, AStopPartWayNamesTheItemsWrittenAndThoseNot) {
    const struct {
        const char* what;
        int refusedCommand;  // group * 10 + number
        QString written, notWritten;
    } cases[] = {
        {"interval refused", 33, QStringLiteral("カードNo.、テストNo."),
         QStringLiteral("測定間隔、基準値、警報、終了予約時刻、時計、開始時刻、ロック")},
        {"second alarm refused", 39, QStringLiteral("カードNo.、テストNo.、測定間隔、基準値"),
         QStringLiteral("警報、終了予約時刻、時計、開始時刻、ロック")},
        {"lock refused", 21,
         QStringLiteral("カードNo.、テストNo.、測定間隔、基準値、警報、終了予約時刻、時計、開始時刻"),
         QStringLiteral("ロック")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        sim::Config c;
        c.model = 2;
        c.faults.nak = true;
        c.faults.only = {k.refusedCommand};
        Rig rig(c);
        UnseenSettingsDialog dialog;
        prepareSettings(rig.t.ctx, dialog);
        EXPECT_EQ(dialog.status, Exchange::Faulty);
        const QString box = messageText(Msg::PartlyWritten, {k.written, k.notWritten});
        ASSERT_TRUE(rig.t.messages.texts().contains(box)) << rig.t.messages.texts().join(" | ").toStdString();
        EXPECT_TRUE(box.contains(QStringLiteral("もう一度設定")));
    }
}

TEST(SettingsReadBack, APortErrorIsShownUnderItsStepsCaption) {
    // The port is taken by another program once the logger has had the
    // given number of frames: the next step fails with 8005.
    struct BreakingLine : fakes::LineEnd {
        BreakingLine(fakes::LineEnd& to, int framesBefore) : inner(to), left(framesBefore) {}
        void receive(const QByteArray& fromHost) override {
            if (left == 0) {
                serial->setBusy(1);
                return;
            }
            inner.receive(fromHost);
            left -= int(fromHost.count('\n'));
        }
        QByteArray take(int maxBytes) override { return inner.take(maxBytes); }
        int pending() const override { return inner.pending(); }
        fakes::LineEnd& inner;
        int left;
        fakes::SimSerial* serial = nullptr;
    };
    const struct {
        int framesBefore;
        QString title;
        int acknowledged;
    } cases[] = {
        {0, QStringLiteral("カードNo."), 0}, {2, QStringLiteral("測定間隔"), 2}, {4, QStringLiteral("警報"), 4},
        {5, QStringLiteral("警報"), 4},  // the second alarm: the step is not written
        {7, QStringLiteral("時計"), 6},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.framesBefore);
        fakes::TestContext t;
        sim::Config c;
        c.model = 2;
        sim::Device device(c, [&t] { return t.clock.ms; });
        fakes::DeviceLine deviceLine(device);
        BreakingLine line(deviceLine, k.framesBefore);
        fakes::SimSerial serial(t.clock, line);
        serial.paced = false;
        line.serial = &serial;
        t.ctx.serial = &serial;
        RecordingSettings s;
        s.upperAlarm = {0, 30, 80};
        s.lowerAlarm = {0, -10, 20};
        s.recordLimit = 1234;
        WrittenSteps steps;
        writeSettingsNotingSteps(t.ctx, s, 2, {}, steps);
        EXPECT_EQ(t.ctx.comm->status, Exchange::Faulty);
        ASSERT_FALSE(t.messages.shown.empty());
        EXPECT_EQ(t.messages.shown.front().title, k.title);
        EXPECT_EQ(steps.acknowledged.size(), k.acknowledged);
        EXPECT_EQ(steps.acknowledged.size() + steps.notWritten.size(), 9);
        // A half-set logger is named as such; one not touched is not.
        EXPECT_EQ(t.messages.shown.size(), k.acknowledged > 0 ? 2u : 1u);
        EXPECT_EQ(device.requestCount(), k.framesBefore);
    }
}
