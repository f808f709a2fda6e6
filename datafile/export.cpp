// The text ("#") and CSV (",") export: a header block with every channel's
// header values, then one line per row of the common time axis. Every field,
// the last one of a line too, is followed by the separator; text fields are
// quoted, numbers are not.
#include "datafile/fileops.h"

#include "core/cp932.h"
#include "core/fieldhelpers.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quillet {
namespace {

const QString Q = QStringLiteral("\"");
const QString kEmptyField = Q + QStringLiteral("       ") + Q;  // seven blanks
const QString kNineBlanks = QStringLiteral("         ");

// Value formats of the header block.
QString valueFormat(const ChannelRecord& c) {
    return isHumidity(c.kind) ? QStringLiteral("  0    ") : QStringLiteral("  0.0  ");
}
QString tenths(int v, const QString& pattern) { return vb::format(v / 10.0, pattern); }

class ExportWriter {
public:
    // mode 3 (text) separates with "#", mode 4 (CSV) with ",".
    ExportWriter(AppContext& ctx, int mode)
        : ctx_(ctx), s_(ctx.store), sepByte_(mode == kTextExport ? '#' : ','), sep_(QLatin1Char(sepByte_)) {}

    QByteArray bytes() {
        for (int ch = 1; ch <= kChannels; ++ch) {
            if (!inUse(ch)) continue;
            ChannelRecord& c = s_.ch[size_t(ch)];
            cardTest_[ch] = cardText(ctx_, c.cardNo) + QLatin1Char('-') + testText(ctx_, c.testNo);
        }
        headerBlock();
        dataBlockHead();
        // Only the header lines can hold anything but ASCII: they are the
        // one text converted. The rows are ASCII and go straight into the
        // same buffer, sized once for the longest rows.
        bool ok = false;
        QByteArray out = cp932::encode(out_, &ok);
        if (!ok) return {};  // a header that cannot be written as CP932
        // Without a channel in use the axis means nothing: no rows.
        const int rows = countChannelsInUse(s_) == 0 ? 0 : std::max<int>(0, s_.rowCount);
        const qsizetype head = out.size();
        out.resize(head + qsizetype(rows) * kMaxRowBytes);
        char* const begin = out.data();
        char* const end = writeRows(begin + head, rows);
        out.resize(end - begin);
        return out;
    }

private:
    bool inUse(int ch) const { return s_.ch[size_t(ch)].inUse == 1; }
    void field(const QString& f) { out_ += f + sep_; }
    void endLine() { out_ += QStringLiteral("\r\n"); }

    // One header line: prefix, label, then a field per channel. `f` gives a
    // channel in use its field, or nothing for no field at all.
    template <typename F>
    void headerLine(const QString& label, F f) {
        field(Q + QStringLiteral("    ") + Q);
        field(Q + label + Q);
        for (int ch = 1; ch <= kChannels; ++ch) {
            if (!inUse(ch)) {
                field(kEmptyField);
                continue;
            }
            const std::optional<QString> v = f(s_.ch[size_t(ch)], ch);
            if (v) field(*v);
        }
        endLine();
    }

    void unitLine() {
        headerLine(kNineBlanks, [](const ChannelRecord& c, int) -> std::optional<QString> {
            if (isTemperature(c.kind)) return Q + uiText(ui::kCelsiusTextHead) + Q;
            if (isHumidity(c.kind)) return Q + QStringLiteral("  [%RH]  ") + Q;
            return std::nullopt;
        });
    }

    void headerBlock() {
        using R = const ChannelRecord&;
        endLine();
        headerLine(uiText(ui::kTextCardTest),
                   [this](R, int ch) -> std::optional<QString> { return Q + cardTest_[ch] + Q; });
        unitLine();
        headerLine(uiText(ui::kTextStart), [](R c, int) -> std::optional<QString> {
            return vb::formatDate(c.startTime, QStringLiteral(" yy-mm-dd"));
        });
        headerLine(kNineBlanks, [](R c, int) -> std::optional<QString> {
            return vb::formatDate(c.startTime, QStringLiteral(" hh:nn:ss"));
        });
        headerLine(uiText(ui::kTextInterval), [](R c, int) -> std::optional<QString> {
            return vb::formatDate(c.interval, QStringLiteral(" hh:nn:ss"));
        });
        headerLine(uiText(ui::kTextRange), [](R c, int) -> std::optional<QString> {
            const double low = c.rangeLow / 10.0;
            return Q + vb::format(low, QStringLiteral("0")) + uiText(ui::kTilde) +
                   vb::format(low + 100, QStringLiteral("0")) + Q;
        });
        headerLine(uiText(ui::kTextRecords), [](R c, int) -> std::optional<QString> {
            return vb::format(c.sampleCount, QStringLiteral("   0  "));
        });
        headerLine(uiText(ui::kTextErrors), [](R c, int) -> std::optional<QString> {
            return vb::format(c.errorCount, QStringLiteral("   0  "));
        });
        headerLine(uiText(ui::kTextMaximum),
                   [](R c, int) -> std::optional<QString> { return tenths(c.maxValue, valueFormat(c)); });
        headerLine(uiText(ui::kTextMinimum),
                   [](R c, int) -> std::optional<QString> { return tenths(c.minValue, valueFormat(c)); });
        headerLine(uiText(ui::kTextAverage),
                   [](R c, int) -> std::optional<QString> { return tenths(c.averageValue, valueFormat(c)); });
        headerLine(uiText(ui::kTextIntegrated), [](R c, int) -> std::optional<QString> {
            if (c.referenceValue == kNotSet) return kEmptyField;
            return vb::format(c.integratedValue, QStringLiteral("  0  "));
        });
        headerLine(uiText(ui::kTextReference), [](R c, int) -> std::optional<QString> {
            if (c.referenceValue == kNotSet) return kEmptyField;
            // 0 gives "H", 8 gives "L".
            const double code = vb::intPart(c.referenceSide / 2.0 + 72);
            const QChar letter = code >= 0x20 && code < 0x7F ? QChar(char16_t(code)) : QLatin1Char('?');
            return tenths(c.referenceValue, valueFormat(c).left(5)) + letter + QStringLiteral("  ");
        });
        headerLine(uiText(ui::kTextUpperAlarm), [](R c, int) -> std::optional<QString> {
            return hasAlarmValues(c.kind) ? tenths(c.upperAlarm, valueFormat(c)) : QStringLiteral("------ ");
        });
        headerLine(uiText(ui::kTextLowerAlarm), [](R c, int) -> std::optional<QString> {
            return hasAlarmValues(c.kind) ? tenths(c.lowerAlarm, valueFormat(c)) : QStringLiteral("------ ");
        });
        endLine();
    }

    // The data block up to its first row.
    void dataBlockHead() {
        field(Q + QStringLiteral(" No ") + Q);
        field(Q + uiText(ui::kTextTimeHead) + Q);
        for (int ch = 1; ch <= kChannels; ++ch) field(inUse(ch) ? cardTest_[ch] : kEmptyField);
        endLine();
        unitLine();
        out_ += Q + QString(78, QLatin1Char('-')) + Q;
        endLine();
    }

    // The longest row: the row number and the quoted time, eight samples
    // (or placeholders) between blanks, the separators and CR LF.
    static constexpr int kMaxRowBytes =
        (1 + 20 + 1 + 1) + (1 + vb::kMaxDateTimeChars + 1 + 1) + kChannels * (1 + vb::kMaxTenthsChars + 1 + 1) + 2;

    // Rows 1..rows of the common time axis as ASCII at p; returns the end.
    char* writeRows(char* p, int rows) const {
        struct Column {
            bool used;
            int first, last;  // rows holding samples
            int decimals;     // samples in " 0.0 " (kind 0 and 1) or " 0 " (kind 2)
            const int16_t* samples;
        };
        std::array<Column, kChannels + 1> col{};
        for (int ch = 1; ch <= kChannels; ++ch) {
            const ChannelRecord& c = s_.ch[size_t(ch)];
            const int count = std::min<int>(c.sampleCount, kMaxSamples);
            col[size_t(ch)] = {c.inUse == 1, c.rowOffset + 1, c.rowOffset + count, isHumidity(c.kind) ? 0 : 1,
                               s_.samples[size_t(ch)].data()};
        }
        static constexpr char kEmpty[] = "\"       \"";  // seven blanks
        for (int r = 1; r <= rows; ++r) {
            // " #### " for a row number of 1 and more.
            *p++ = ' ';
            p = vb::putInteger(p, r);
            *p++ = ' ';
            *p++ = sepByte_;
            *p++ = '"';
            p = vb::putDateTime(p, rowTime(s_, r), vb::DateTimeLayout::Long);
            *p++ = '"';
            *p++ = sepByte_;
            for (int ch = 1; ch <= kChannels; ++ch) {
                const Column& c = col[size_t(ch)];
                if (!c.used || r < c.first || r > c.last) {
                    std::memcpy(p, kEmpty, sizeof kEmpty - 1);
                    p += sizeof kEmpty - 1;
                } else if (const int16_t v = c.samples[r - c.first + 1]; v == kErrorSample) {
                    std::memcpy(p, "-----", 5);
                    p += 5;
                } else {
                    *p++ = ' ';
                    p = vb::putTenths(p, v, c.decimals);
                    *p++ = ' ';
                }
                *p++ = sepByte_;
            }
            *p++ = '\r';
            *p++ = '\n';
        }
        return p;
    }

    AppContext& ctx_;
    ChannelStore& s_;
    const char sepByte_;
    const QChar sep_;
    std::array<QString, kChannels + 1> cardTest_;
    QString out_;
};

}  // namespace

QByteArray exportBytes(AppContext& ctx, int mode) { return ExportWriter(ctx, mode).bytes(); }

}  // namespace quillet
