// The link keeps every answer, however quickly the reader sends it, and
// only the answer: against the simulator's device model on the virtual
// clock, with a reader that answers the moment the LF is out, one that
// echoes every character, and one that does both or sends at line speed.
#include "comm/commands.h"
#include "comm/link.h"
#include "support/fakes.h"
#include "support/simserial.h"
#include "tools/sim/device.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(LinkAnswer, NoFrameIsRepeatedWhateverTheReaderDoes) {
    const struct {
        const char* what;
        bool paced, instant, echo;
    } cases[] = {
        {"answers at once", false, true, false},
        {"echoes, answers at once", false, true, true},
        {"echoes, at line speed", true, false, true},
        {"at line speed", true, false, false},
    };
    // Status, identification and a setting: group 1 answers begin with STX
    // as the frame does, a setting is answered ACK.
    const WireCommand commands[] = {Cmd::ReadStatus, Cmd::Identify, Cmd::CardNo};
    const QByteArray data[] = {{}, {}, "A1"};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        fakes::TestContext t;
        sim::Config config;
        config.model = 2;
        sim::Device device(config, [&t] { return t.clock.ms; });
        fakes::DeviceLine line(device);
        fakes::SimSerial serial(t.clock, line);
        serial.paced = k.paced;
        serial.instant = k.instant;
        serial.echo = k.echo;
        t.ctx.serial = &serial;

        const int exchanges = 300;
        int accepted = 0;
        for (int i = 0; i < exchanges; ++i) {
            const int c = i % 3;
            if (request(t.ctx, commands[c], data[c]) != Exchange::Accepted) continue;
            ++accepted;
            const QByteArray expected = c == 0   ? device.statusAnswer()
                                        : c == 1 ? device.identificationAnswer()
                                                 : QByteArray("\x06\r\n");
            EXPECT_EQ(t.ctx.comm->receiveBuffer, expected) << i;
        }
        EXPECT_EQ(accepted, exchanges);
        EXPECT_EQ(device.requestCount(), exchanges);  // no attempt repeated
    }
}

TEST(LinkAnswer, WhatComesBeforeTheLfIsDroppedAndAnEchoTailIsNotAnAnswer) {
    // A scripted reader: line noise while the frame goes out, then the rest
    // of the echo and the answer together after the LF.
    const struct {
        const char* what;
        QByteArray afterLf;
        bool echoBeforeLf;
        QByteArray kept;
    } cases[] = {
        {"echo tail then ACK", QByteArray("\x03\r\n\x06\r\n"), true, QByteArray("\x06\r\n")},
        {"no echo: an answer starting like the frame", QByteArray("\x02 3,22,\x03\r\n"), false,
         QByteArray("\x02 3,22,\x03\r\n")},
        {"echo stops early, answer follows", QByteArray("\x02 3,22,\x03\r\n"), true, QByteArray("\x02 3,22,\x03\r\n")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        fakes::TestContext t;
        // The answer is scripted after the frame; the echo before the LF is
        // put on the line by a line end that repeats what it hears.
        struct EchoingLine : fakes::LineEnd {
            QByteArray out, answer;
            bool echo = false;
            void receive(const QByteArray& fromHost) override {
                for (char c : fromHost) {
                    if (c == '\n') {
                        out += answer;
                    } else if (echo && c != '\r' && c != '\x03') {
                        out += c;  // the echo of ETX CR comes after the LF, with the answer
                    } else if (!echo && c == ' ') {
                        out += "zz";  // noise while the frame goes out
                    }
                }
            }
            QByteArray take(int maxBytes) override {
                const QByteArray r = out.left(maxBytes);
                out.remove(0, r.size());
                return r;
            }
            int pending() const override { return int(out.size()); }
        } line;
        line.echo = k.echoBeforeLf;
        line.answer = k.afterLf;
        fakes::SimSerial serial(t.clock, line);
        serial.paced = false;
        serial.instant = true;
        t.ctx.serial = &serial;
        request(t.ctx, Cmd::ReadStatus, {}, {}, 1);
        EXPECT_EQ(t.ctx.comm->receiveBuffer, k.kept);
    }
}
