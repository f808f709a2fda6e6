// The serial link on the virtual clock: frames and their timing, the
// judging of answers, time-outs, cancel, retries, port errors, progress and
// the received-data monitor. The reader is a scripted line end.
#include "comm/link.h"

#include "core/catalog.h"
#include "support/fakes.h"
#include "support/simserial.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

const QByteArray kGoodData = "\x02 1,0123\x03\r\n";
const QByteArray kAck = "\x06\r\n";
const QByteArray kNak = "\x15\r\n";

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        ctx.serial = &port;
        ctx.timing.commandWait = 10;
        ctx.timing.readTimeout = 1000;
        ctx.debug.waitAfterCommandRead = 0;
        ctx.debug.debugMode = false;
    }

    // One exchange, as the callers do it, without retries.
    Exchange exchange(int group, int number, const QByteArray& data = {}, Expected expected = {}) {
        ctx.comm->status = Exchange::Accepted;
        if (sendCommand(ctx, group, number, data) != PortFault::None) return Exchange::PortError;
        return receiveAnswer(ctx, group, number, expected);
    }

    QByteArray written() const {
        QByteArray w;
        for (const auto& x : port.writes) w += x.c;
        return w;
    }
    std::vector<qint64> gaps() const {
        std::vector<qint64> g;
        qint64 last = 0;
        for (const auto& x : port.writes) {
            g.push_back(x.ms - last);
            last = x.ms;
        }
        return g;
    }

    fakes::TestContext t;
    AppContext& ctx = t.ctx;
    fakes::ScriptedLine line;
    fakes::SimSerial port{t.clock, line};
};

TEST_F(Link, FrameWithoutDataDoublesThePauseBeforeTheClosingComma) {
    line.answers = {kGoodData};
    ASSERT_EQ(exchange(1, 3), 0);
    EXPECT_EQ(written(), QByteArray("\x02\x20\x31\x2C\x20\x33\x2C\x03\x0D\x0A", 10));
    EXPECT_EQ(gaps(), (std::vector<qint64>{10, 10, 10, 10, 10, 10, 20, 10, 10, 10}));
}

TEST_F(Link, FrameWithDataPausesEvenly) {
    line.answers = {kAck};
    ASSERT_EQ(exchange(3, 5, "A1"), 0);
    EXPECT_EQ(written(), QByteArray("\x02 3, 5,A1,\x03\r\n"));
    EXPECT_EQ(gaps(), std::vector<qint64>(13, 10));
}

TEST_F(Link, CommandWaitZeroSendsAtOnce) {
    ctx.timing.commandWait = 0;
    line.answers = {kGoodData};
    ASSERT_EQ(exchange(1, 1), 0);
    EXPECT_EQ(gaps(), std::vector<qint64>(10, 0));
}

TEST_F(Link, JudgingOfAnswers) {
    const struct {
        const char* what;
        int group, number;
        QByteArray answer;
        int result;
    } cases[] = {
        {"data answer", 1, 1, kGoodData, 0},
        {"ACK to a group 1 request", 1, 1, kAck, 1},
        {"garbage before STX", 1, 1, "xx" + kGoodData, 1},
        {"CR LF without ETX", 1, 4, "\x02 1,01\r\n", 1},
        {"cut short, then silence", 1, 1, "\x02 1,0123", 1},
        {"silence", 1, 1, "", 2},
        {"ACK", 3, 5, kAck, 0},
        {"ACK to the lock", 2, 1, kAck, 0},
        {"garbage before ACK", 3, 5, "x" + kAck, 1},
        {"NAK", 3, 6, kNak, 1},
        {"data answer to a setting", 3, 1, kGoodData.left(kGoodData.size() - 3) + "\r\n", 1},
        {"silence to a setting", 3, 0, "", 2},
    };
    for (const auto& c : cases) {
        line.answers = {c.answer};
        EXPECT_EQ(exchange(c.group, c.number), c.result) << c.what;
        EXPECT_EQ(ctx.comm->receiveBuffer, c.answer) << c.what;
        EXPECT_FALSE(port.isOpen()) << c.what;
    }
}

TEST_F(Link, SilenceEndsAfterTheReceiveTimer) {
    ctx.timing.readTimeout = 1000;
    ASSERT_EQ(exchange(1, 1), 2);
    const qint64 sentAt = port.writes.back().ms;
    EXPECT_GE(t.clock.ms - sentAt, 1000);
    EXPECT_LE(t.clock.ms - sentAt, 1010);
}

TEST_F(Link, CutShortAnswerGivesUpWithinTwoTimerIntervals) {
    line.answers = {"\x02 1,0123"};
    ASSERT_EQ(exchange(1, 1), 1);
    const qint64 sentAt = port.writes.back().ms;
    EXPECT_GE(t.clock.ms - sentAt, 1000);
    EXPECT_LE(t.clock.ms - sentAt, 2100);
}

TEST_F(Link, SlowAnswerWithinTheTimerIsAccepted) {
    // 600 characters take 1250 ms at 4800 bit/s, longer than the timer; the
    // timer restarts with every line received.
    QByteArray longAnswer = "\x02 1,";
    for (int i = 0; i < 10; ++i) longAnswer += QByteArray(56, '0') + "\r\n";
    longAnswer += "\x03\r\n";
    line.answers = {longAnswer};
    EXPECT_EQ(exchange(1, 2, {}, {Progress::None}), 0);
    EXPECT_EQ(ctx.comm->receiveBuffer, longAnswer);
}

TEST_F(Link, CancelDuringReceiveEndsAtOnce) {
    qint64 cancelAt = -1;
    t.clock.hooks.push_back([&] {
        if (cancelAt < 0 && !port.writes.empty() && port.writes.back().c == '\n' &&
            t.clock.ms >= port.writes.back().ms + 300) {
            cancelAt = t.clock.ms;
            requestCancel(ctx);
        }
    });
    EXPECT_EQ(exchange(1, 1), 3);
    EXPECT_LE(t.clock.ms - cancelAt, 2);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Link, ThePortIsOpenedForEachExchangeAndClosedAfterIt) {
    line.answers = {kGoodData, kAck};
    exchange(1, 1);
    exchange(3, 5, "A1");
    EXPECT_EQ(port.opens, 2);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Link, StaleInputIsDiscardedBeforeSending) {
    // The answer to a command whose answer nobody read (the keep-alive
    // status request) must not be taken for the next answer.
    line.answers = {"\x02 3,22,\x03\r\n", kGoodData};
    ASSERT_EQ(sendCommand(ctx, 1, 3, {}), PortFault::None);
    for (int i = 0; i < 100; ++i) t.clock.processEvents();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(exchange(1, 1), 0);
    EXPECT_EQ(ctx.comm->receiveBuffer, kGoodData);
}

// A line end that never stops talking.
class Babbler : public fakes::LineEnd {
public:
    void receive(const QByteArray&) override {}
    QByteArray take(int maxBytes) override {
        QByteArray b(std::min(maxBytes, 1000), 'x');
        if (!b.isEmpty()) b[b.size() - 1] = '\n';
        return b;
    }
    int pending() const override { return 1 << 20; }
};

TEST_F(Link, ALineThatNeverStopsIsCutOffAsFaulty) {
    Babbler babbler;
    fakes::SimSerial p(t.clock, babbler);
    p.paced = false;
    ctx.serial = &p;
    EXPECT_EQ(exchange(1, 1), 1);
    EXPECT_GT(ctx.comm->receiveBuffer.size(), 66000);
    EXPECT_LE(ctx.comm->receiveBuffer.size(), 70000);
    EXPECT_FALSE(p.isOpen());
}

// ---- request: the retry rule ------------------------------------------------

TEST_F(Link, RequestRetriesFiveTimes) {
    EXPECT_EQ(request(ctx, 1, 1, {}), 2);
    EXPECT_EQ(line.frames, 5);
    EXPECT_EQ(ctx.comm->status, 2);

    line.frames = 0;
    line.answers = {kAck, kAck, kAck, kAck, kAck, kAck};
    EXPECT_EQ(request(ctx, 1, 1, {}), 1);
    EXPECT_EQ(line.frames, 5);
    EXPECT_EQ(ctx.comm->status, 1);
}

TEST_F(Link, RequestStopsAtTheFirstAcceptedAnswer) {
    line.answers = {"", kNak, kAck, kAck};
    EXPECT_EQ(request(ctx, 3, 5, "A1"), 0);
    EXPECT_EQ(line.frames, 3);
    EXPECT_EQ(ctx.comm->status, 0);
}

TEST_F(Link, RequestEndsAtOnceOnCancel) {
    t.clock.hooks.push_back([&] {
        if (line.frames == 1 && t.clock.ms >= port.writes.back().ms + 50 && ctx.comm->status == 0) requestCancel(ctx);
    });
    EXPECT_EQ(request(ctx, 1, 2, {}, {Progress::TwoChannels}), 3);
    EXPECT_EQ(line.frames, 1);
    EXPECT_EQ(ctx.comm->status, 3);
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(Link, CancelWhileSendingIsACancelNotAPortError) {
    t.clock.hooks.push_back([&] {
        if (port.writes.size() == 3 && ctx.comm->status == 0) requestCancel(ctx);
    });
    EXPECT_EQ(request(ctx, 1, 1, {}), 3);
    EXPECT_EQ(line.frames, 1);  // the frame is finished, no answer awaited
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST_F(Link, PortErrorsShowTheRuntimeErrorOnceAndStop) {
    const struct {
        int group;
        bool busy;
        int error;
        const char* caption;
    } cases[] = {
        {1, false, 8002, "ロガー読み出し"},
        {3, false, 8002, "ロガー設定"},
        {2, true, 8005, "ロガー設定"},
        {1, true, 8005, "ロガー読み出し"},
    };
    for (const auto& c : cases) {
        fakes::TestContext tc;
        fakes::SimSerial p(tc.clock);
        if (c.busy) p.setBusy(4);
        p.setPortNumber(4);
        tc.ctx.serial = &p;
        EXPECT_EQ(request(tc.ctx, c.group, 1, {}), Exchange::PortError);
        EXPECT_EQ(tc.ctx.comm->status, Exchange::PortError);
        ASSERT_EQ(tc.messages.shown.size(), 1u);
        EXPECT_EQ(tc.messages.shown[0].title, QString::fromUtf8(c.caption));
        EXPECT_EQ(tc.messages.shown[0].text, runtimeErrorMessage(c.error));
        EXPECT_TRUE(p.writes.empty());
    }
}

TEST_F(Link, NoPortAtAllIsAnInvalidPort) {
    ctx.serial = nullptr;
    EXPECT_EQ(request(ctx, 1, 1, {}), Exchange::PortError);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, runtimeErrorMessage(8002));
}

// ---- Progress and monitor ----------------------------------------------------

QByteArray twoBlocks() {
    QByteArray a = "\x02 2," + QByteArray(80, '0') + ",\x17\r\n";
    a += "\x02 2," + QByteArray(80, '0') + ",\x03\r\n";
    return a;
}

TEST_F(Link, DataReadReportsCharactersAgainstTheExpectedCount) {
    std::vector<std::pair<int, int>> calls;
    ctx.comm->progress = [&](int maximum, int value) { calls.emplace_back(maximum, value); };
    line.answers = {twoBlocks()};
    ASSERT_EQ(exchange(1, 2, {}, {Progress::TwoChannels, 17}), 0);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), std::make_pair(176, 0));  // (Int(17 / 16) + 1) * 88
    EXPECT_EQ(calls.back(), std::make_pair(176, 176));
    for (size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i].second, calls[i - 1].second);
}

TEST_F(Link, ProgressOnlyForDataReads) {
    int calls = 0;
    ctx.comm->progress = [&](int, int) { ++calls; };
    line.answers = {twoBlocks(), kGoodData, twoBlocks()};
    exchange(1, 2, {}, {Progress::None, 40});        // port search mode
    exchange(1, 1, {}, {Progress::OneChannel, 40});  // not a data read
    EXPECT_EQ(calls, 0);
    exchange(1, 2, {}, {Progress::TwoChannels, 40});
    EXPECT_GT(calls, 0);
}

TEST(LinkMaximum, ExpectedCharacters) {
    EXPECT_EQ(dataReadMaximum({Progress::TwoChannels, 17}), 176);
    EXPECT_EQ(dataReadMaximum({Progress::TwoChannels, 16}), 176);
    EXPECT_EQ(dataReadMaximum({Progress::TwoChannels, 15}), 88);
    EXPECT_EQ(dataReadMaximum({Progress::OneChannel, 33}), 176);
    EXPECT_EQ(dataReadMaximum({Progress::TwoChannels, 600}), 38 * 88);
}

TEST_F(Link, DebugModeFeedsTheMonitorAfterThePause) {
    ctx.debug.waitAfterCommandRead = 50;
    std::vector<QByteArray> seen;
    ctx.comm->monitor = [&](const QByteArray& a, int g, int n, Progress m) {
        seen.push_back(a + QByteArray::number(g * 100 + n * 10 + int(m)));
    };
    line.answers = {kAck, kAck, ""};
    exchange(3, 5, "A1");  // debug off: not shown
    ctx.debug.debugMode = true;
    const qint64 before = t.clock.ms;
    exchange(3, 5, "A1");
    exchange(3, 6, "A1");  // silence: nothing to show
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], kAck + "350");
    EXPECT_GE(t.clock.ms - before, 50);
}

TEST(Monitor, Lines) {
    const struct {
        QByteArray answer;
        int g, n, m;
        const char* line;
    } cases[] = {
        {"\x06\r\n", 3, 5, 0, "Com:3_5_0   ACK\r\n"},
        {"\x15\r\n", 2, 1, 0, "Com:2_1_0   NAK\r\n"},
        {"\x02 1,A\x17\x03\r\n", 1, 1, 0, "STX 1,AETBETXCRLF\r\n"},
        {"x\x06\r\n", 3, 5, 0,
         "x\x06"
         "CRLF\r\n"},
        {"\x06\r\n\x06\r\n", 3, 5, 0,
         "\x06"
         "CRLF\x06"
         "CRLF\r\n"},
    };
    for (const auto& c : cases) {
        QString text = QStringLiteral("old\r\n");
        appendMonitorText(text, c.answer, c.g, c.n, Progress(c.m));
        EXPECT_EQ(text, QStringLiteral("old\r\n") + QString::fromLatin1(c.line)) << c.line;
    }
}

TEST(Monitor, EmptiedOnlyWhenOver35000Characters) {
    QString text(35000, QLatin1Char('x'));
    appendMonitorText(text, "\x06\r\n", 3, 5, Progress::OneChannel);
    EXPECT_EQ(text.size(), 35000 + 17);

    text = QString(35001, QLatin1Char('x'));
    appendMonitorText(text, "\x06\r\n", 3, 5, Progress::OneChannel);
    EXPECT_EQ(text, QStringLiteral("Com:3_5_0   ACK\r\n"));
}

TEST(LinkPause, RunsOnTheClock) {
    fakes::TestContext t;
    int pumped = 0;
    t.clock.hooks.push_back([&] { ++pumped; });
    pauseMs(t.ctx, 0);
    EXPECT_EQ(pumped, 0);
    pauseMs(t.ctx, 250);
    EXPECT_EQ(t.clock.ms, 250);
    EXPECT_EQ(pumped, 250);
}

}  // namespace
}  // namespace quillet
