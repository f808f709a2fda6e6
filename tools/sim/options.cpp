#include "tools/sim/options.h"

#include "tools/sim/records.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QRegularExpression>

namespace quillet::sim {

namespace {

struct Opt {
    const char* name;
    const char* value;  // nullptr for a switch
    const char* help;
};

const Opt kOptions[] = {
    {"model", "1-4",
     "Logger model: 1, 2 (temperature + humidity), 3 (one temperature channel), 4 (two temperatures). Default 2."},
    {"records", "N", "Records per channel (0 .. 65535). Default 600."},
    {"seed", "N", "Seed of the generated curves. Default 1."},
    {"records-file", "PATH", "Take the records from a text file instead of generating them."},
    {"errors", "N", "Error samples scattered into each generated channel. Default 3."},
    {"start", "TIME", "Start of the recording held, \"yyyy-mm-dd hh:mm[:ss]\". Default 2013-11-15 09:00."},
    {"interval", "hh:mm[:ss]", "Recording interval (seconds in tens, models 3 and 4). Default 00:10."},
    {"card", "N", "Card number 0 .. 255. Default 1."},
    {"test", "N", "Test number 0 .. 255. Default 1."},
    {"range-codes", "A[,B]", "Range codes of channels 1 and 2 (model 3: the range/mode code 1..3, 6..8)."},
    {"next-range-code", "C",
     "Model 3: the range/mode code set for the next recording (position 34), when it differs from the one of the "
     "recording held."},
    {"reference1", "RAW,H|L",
     "Raw reference value and side of channel 1 (default: the middle of its generated curve)."},
    {"reference2", "RAW,H|L", "Raw reference value and side of channel 2."},
    {"alarm1", "UPPER,LOWER",
     "Raw upper and lower alarm values of channel 1 (default: values its generated curve crosses)."},
    {"alarm2", "UPPER,LOWER", "Raw upper and lower alarm values of channel 2."},
    {"record-limit", "N", "End reservation field (models 1, 2, 4). Default the full memory."},
    {"flags", "N", "Model 4 flags: 2 = endless, 1 = wrapped, 3 = a full wrapped memory."},
    {"wrap-position", "P", "Model 4 with flags 3: memory record written last (1 .. 6000). Default 1."},
    {"status", "XY", "The two status characters of the 1,3 answer. Default 22 (ready)."},
    {"strict", nullptr, "Refuse (NAK) setting commands while locked or recording."},
    {"speed", "N", "The logger's clock runs N times faster than real time. Default 1."},
    {"log", "FILE", "Write every frame received to FILE, one line each: time, group,number and data."},
    {"silent", nullptr, "Fault: never answer."},
    {"garbage", nullptr, "Fault: answer junk bytes."},
    {"nak", nullptr, "Fault: answer setting commands with NAK."},
    {"broken-block", "K", "Fault: spoil the framing of block K (1-based) of the 1,2 answer."},
    {"cut-after", "N", "Fault: stop every answer after N characters."},
    {"disconnect-after", "N", "Fault: the line goes dead after N characters of the 1,2 answer."},
    {"ident-length", "N", "Fault: identification answer of N characters."},
    {"fail-first", "N", "The faults hit only the first N requests they apply to (alone: no answer)."},
    {"fault-only", "G,N", "The faults hit only command G,N (may be repeated)."},
    {"paced", nullptr, "Send at the speed of the line (10 bits per character) instead of at once."},
    {"baud", "N", "Line speed for --paced. Default 4800."},
    {"delay", "MS", "Pause between a request and its answer, in milliseconds (0: at once). Default 20."},
    {"echo", nullptr, "Send every character received straight back, as a reader that echoes does."},
    {"link", "PATH", "Create a symbolic link PATH to the serial device (removed on exit)."},
    {"port", "NAME",
     "Serve the existing serial port NAME (COM3, /dev/ttyUSB0) instead of a pseudo-terminal: on Windows one end of a "
     "virtual null-modem pair, whose other end the program opens."},
};

bool toInt(const QString& text, int lo, int hi, int& out) {
    bool ok = false;
    const QString t = text.trimmed();
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const int v = hex ? t.mid(2).toInt(&ok, 16) : t.toInt(&ok, 10);
    if (!ok || v < lo || v > hi) return false;
    out = v;
    return true;
}

// "a,b" into two integers.
bool toPair(const QString& text, int lo, int hi, int& a, int& b) {
    const QStringList parts = text.split(QLatin1Char(','));
    return parts.size() == 2 && toInt(parts[0], lo, hi, a) && toInt(parts[1], lo, hi, b);
}

}  // namespace

namespace {

// The whole-number options; the first refused one's problem, or nothing.
QString readNumbers(const QCommandLineParser& parser, ServerOptions& o) {
    Config& c = o.config;
    QString problem;
    auto intOption = [&](const char* name, int lo, int hi, int& target) {
        const QString key = QString::fromLatin1(name);
        if (!parser.isSet(key)) return true;
        if (toInt(parser.value(key), lo, hi, target)) return true;
        problem = QStringLiteral("--%1: expected a number %2 .. %3").arg(key).arg(lo).arg(hi);
        return false;
    };
    int seed = 1;
    if (!intOption("model", 1, 4, c.model) || !intOption("records", 0, 65535, c.records) ||
        !intOption("seed", 0, 0x7FFFFFFF, seed) || !intOption("errors", 0, 65535, c.errorSamples) ||
        !intOption("card", 0, 255, c.cardNo) || !intOption("test", 0, 255, c.testNo) ||
        !intOption("record-limit", 0, 0xFFFF, c.recordLimit) || !intOption("flags", 0, 3, c.flags) ||
        !intOption("wrap-position", 1, 6000, c.wrapPosition) ||
        !intOption("broken-block", 1, 1 << 20, c.faults.brokenBlock) ||
        !intOption("cut-after", 0, 1 << 24, c.faults.cutAfter) ||
        !intOption("disconnect-after", 0, 1 << 24, c.faults.disconnectAfter) ||
        !intOption("ident-length", 1, 1024, c.faults.identLength) ||
        !intOption("fail-first", 1, 1 << 20, c.faults.failFirst) || !intOption("baud", 50, 4000000, o.baud) ||
        !intOption("delay", 0, 60000, o.delayMs) || !intOption("speed", 1, 1000000, c.speed) ||
        !intOption("next-range-code", 0, 15, c.nextRangeCode)) {
        return problem;
    }
    c.seed = uint32_t(seed);

    return {};
}

// --start and --interval.
QString readTimes(const QCommandLineParser& parser, Config& c) {
    if (parser.isSet(QStringLiteral("start"))) {
        const QString text = parser.value(QStringLiteral("start")).trimmed();
        QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!t.isValid()) t = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!t.isValid()) return QStringLiteral("--start: expected \"yyyy-mm-dd hh:mm[:ss]\"");
        c.start = LoggerTime{t.date().year(), t.date().month(),  t.date().day(),
                             t.time().hour(), t.time().minute(), t.time().second() / 10};
    }
    if (parser.isSet(QStringLiteral("interval"))) {
        static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?$"));
        const auto m = re.match(parser.value(QStringLiteral("interval")).trimmed());
        if (!m.hasMatch()) return QStringLiteral("--interval: expected hh:mm or hh:mm:ss");
        c.intervalHour = m.captured(1).toInt();
        c.intervalMinute = m.captured(2).toInt();
        const int sec = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        if (sec % 10 != 0) return QStringLiteral("--interval: seconds must be a multiple of ten");
        c.intervalTenSec = sec / 10;
    }
    return {};
}

// --range-codes, --reference1/2 and --alarm1/2.
QString readChannelValues(const QCommandLineParser& parser, Config& c) {
    if (parser.isSet(QStringLiteral("range-codes"))) {
        const QStringList parts = parser.value(QStringLiteral("range-codes")).split(QLatin1Char(','));
        if (parts.size() > 2) return QStringLiteral("--range-codes: at most two codes");
        for (int i = 0; i < parts.size(); ++i) {
            if (!toInt(parts[i], 0, 15, c.rangeCode[i])) return QStringLiteral("--range-codes: codes are 0 .. 15");
        }
    }
    for (int ch = 0; ch < 2; ++ch) {
        const QString key = QStringLiteral("reference%1").arg(ch + 1);
        if (!parser.isSet(key)) continue;
        const QStringList parts = parser.value(key).split(QLatin1Char(','));
        const QString side = parts.value(1).trimmed().toUpper();
        if (parts.size() != 2 || !toInt(parts[0], 0, 0xFFF, c.referenceRaw[ch]) ||
            (side != QLatin1String("H") && side != QLatin1String("L") && side != QLatin1String("0") &&
             side != QLatin1String("8"))) {
            return QStringLiteral("--%1: expected RAW,H or RAW,L (raw 0 .. 4095)").arg(key);
        }
        c.referenceSide[ch] = (side == QLatin1String("L") || side == QLatin1String("8")) ? 8 : 0;
    }
    for (int ch = 0; ch < 2; ++ch) {
        const QString key = QStringLiteral("alarm%1").arg(ch + 1);
        if (parser.isSet(key) && !toPair(parser.value(key), 0, 0xFFF, c.upperAlarmRaw[ch], c.lowerAlarmRaw[ch])) {
            return QStringLiteral("--%1: expected UPPER,LOWER (raw 0 .. 4095)").arg(key);
        }
    }
    return {};
}

// The status, the switches and the faults.
QString readSwitches(const QCommandLineParser& parser, ServerOptions& o) {
    Config& c = o.config;
    if (parser.isSet(QStringLiteral("status"))) {
        c.status = parser.value(QStringLiteral("status")).toLatin1();
        if (c.status.size() != 2) return QStringLiteral("--status: expected two characters");
    }
    c.strict = parser.isSet(QStringLiteral("strict"));
    c.faults.silence = parser.isSet(QStringLiteral("silent"));
    c.faults.garbage = parser.isSet(QStringLiteral("garbage"));
    c.faults.nak = parser.isSet(QStringLiteral("nak"));
    for (const QString& v : parser.values(QStringLiteral("fault-only"))) {
        int g = 0, n = 0;
        if (!toPair(v, 0, 9, g, n)) return QStringLiteral("--fault-only: expected G,N such as 1,2");
        c.faults.only.push_back(g * 10 + n);
    }
    o.paced = parser.isSet(QStringLiteral("paced"));
    o.echo = parser.isSet(QStringLiteral("echo"));
    o.link = parser.value(QStringLiteral("link"));
    o.port = parser.value(QStringLiteral("port"));
    o.logFile = parser.value(QStringLiteral("log"));

    return {};
}

// --records-file: values converted with the range codes the logger will
// report.
QString readRecords(const QCommandLineParser& parser, Config& c) {
    if (parser.isSet(QStringLiteral("records-file"))) {
        QString why;
        const Config r = resolved(c);
        if (!loadRecords(parser.value(QStringLiteral("records-file")), r, c.rawRecords1, c.rawRecords2, &why)) {
            return why;
        }
        if (c.rawRecords1.empty()) return QStringLiteral("--records-file: the file holds no record");
        c.records = int(c.rawRecords1.size());
    }
    return {};
}

}  // namespace

ParseResult parseOptions(const QStringList& arguments, ServerOptions& out, QString& message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates the reader and a logger on a pseudo-terminal. Prints the serial device path on "
                       "its first line and serves until killed."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    for (const Opt& o : kOptions) {
        QCommandLineOption option(QString::fromLatin1(o.name), QString::fromLatin1(o.help));
        if (o.value) option.setValueName(QString::fromLatin1(o.value));
        parser.addOption(option);
    }
    auto fail = [&](const QString& why) {
        message = why;
        return ParseResult::Error;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help)) {
        message = parser.helpText();
        return ParseResult::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
    }

    ServerOptions o;
    // In this order, up to the first problem.
    QString problem = readNumbers(parser, o);
    if (problem.isEmpty()) problem = readTimes(parser, o.config);
    if (problem.isEmpty()) problem = readChannelValues(parser, o.config);
    if (problem.isEmpty()) problem = readSwitches(parser, o);
    if (problem.isEmpty()) problem = readRecords(parser, o.config);
    if (problem.isEmpty()) problem = validate(o.config);
    if (!problem.isEmpty()) return fail(problem);
    out = o;
    return ParseResult::Ok;
}

}  // namespace quillet::sim
