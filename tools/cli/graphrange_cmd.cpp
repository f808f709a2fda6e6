// quillet-cli graph-range: the graph range dialog's checks and OK over a data
// file, as a user typing the bounds into "グラフレンジ変更" would see them.
#include "tools/cli/cli.h"
#include "tools/cli/graphoptions.h"

#include "core/catalog.h"
#include "core/vb.h"
#include "graph/rangerules.h"

#include <QRegularExpression>

namespace quillet::cli {
namespace {

// Digits go into the data-number fields, anything else into the time fields.
bool isDataNumberText(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^\\d*$"));
    return digits.match(text).hasMatch();
}

// A bound as a data number: digits as they are, a time as the data number at
// or before it (0 when it is no time).
int asDataNumber(const ChannelStore& s, const QString& text) {
    if (isDataNumberText(text)) return wholeValue(text);
    const auto t = vb::parseDateTime(text);
    const auto k = t ? dataIndexAtOrBefore(s, *t) : std::nullopt;
    return k ? *k + 1 : 0;
}

int runGraphRange(AppContext& ctx, const Arguments& a) {
    const QString file = a.positional[0];
    int code = kExitOk;
    if (!openAlone(ctx, file, code)) return code;

    // The graph opens on the whole axis and the Y bounds of the settings.
    GraphState& g = ctx.graph;
    const ChannelStore& s = ctx.store;
    g.x().manual = false;
    g.x().shown.low = g.x().automatic.low = 1;
    g.x().shown.high = g.x().automatic.high = int16_t(s.rowCount > 1 ? s.rowCount : 2);
    GraphRangeState st = openGraphRange(g, s);

    struct Axis {
        const char* option;
        RangeAxis axis;
        RangeField lower, upper;
        bool enabled;
        const char16_t* missing;
    };
    const Axis axes[] = {
        {"--x", RangeAxis::X, RangeField::FirstRow, RangeField::LastRow, true, u""},
        {"--temp", RangeAxis::Temp, RangeField::TempMin, RangeField::TempMax, st.tempEnabled, ui::kTemperatureWord},
        {"--humid", RangeAxis::Humid, RangeField::HumidMin, RangeField::HumidMax, st.humidEnabled, ui::kHumidityWord},
    };
    QStringList messages;
    for (const Axis& x : axes) {
        if (!a.has(x.option)) continue;
        // The Y bounds are whole numbers, read as graph and print read them;
        // the X bounds may be times as well.
        QStringList bounds = a.value(x.option).split(QStringLiteral(".."));
        if (x.axis != RangeAxis::X) {
            int low = 0, high = 0;
            if (!wholeRange(a, x.option, low, high, code)) return code;
            bounds = QStringList{QString::number(low), QString::number(high)};
        } else if (bounds.size() != 2) {
            complain(uiText(text::kLowHigh).arg(QLatin1String(x.option)));
            return kExitUsage;
        }
        if (!x.enabled) {
            complain(uiText(text::kNoChannelOfKind).arg(file, uiText(x.missing)));
            return kExitUsage;
        }
        const auto type = [&](RangeField f, const QString& text) {
            // Data numbers and times go into their own fields of the X frame.
            if (x.axis == RangeAxis::X && !isDataNumberText(text))
                f = f == RangeField::FirstRow ? RangeField::FirstTime : RangeField::LastTime;
            rangeFieldFocused(st, g, f);
            st[f] = text;
            for (int m : checkRangeField(st, g, s, f)) messages << messageText(m);
        };
        // The lower bound first unless it would not fit under the current
        // upper one, as a user would type them.
        const QString low = bounds[0].trimmed(), high = bounds[1].trimmed();
        const int lowValue = x.axis == RangeAxis::X ? asDataNumber(s, low) : wholeValue(low);
        if (lowValue < wholeValue(st[x.upper])) {
            type(x.lower, low);
            type(x.upper, high);
        } else {
            type(x.upper, high);
            type(x.lower, low);
        }
    }
    // Refused input: the dialog's messages, no range and nothing saved.
    for (QString m : messages)
        complain(captionText(Caption::Graph) + QStringLiteral(": ") + m.replace(QLatin1Char('\r'), QLatin1Char('\n')));
    if (!messages.isEmpty()) return kExitFailed;

    if (a.has("--save")) {
        if (const Saved saved = acceptGraphRange(st, ctx); !saved)
            return failWith(saved.error, 4, ctx.folders.settingsFile);
        err() << uiText(text::kGraphRangesSaved).arg(ctx.folders.settingsFile) << "\n";
    } else {
        applyGraphRange(st, g);
    }
    const auto state = [](int16_t manual) { return uiText(manual ? text::kHeld : ui::kAutomatic); };
    out() << labelled(ui::kDataRangeFrame,
                      QStringLiteral("%1..%2  (%3 .. %4)  ")
                              .arg(g.x().shown.low)
                              .arg(g.x().shown.high)
                              .arg(dataNumberTimeText(s, g.x().shown.low), dataNumberTimeText(s, g.x().shown.high)) +
                          state(g.x().manual))
          << "\n";
    if (st.tempEnabled)
        out() << labelled(
                     ui::kTemperatureRangeFrame,
                     (g.temp().manual ? QStringLiteral("%1..%2 ℃  ").arg(g.temp().shown.low).arg(g.temp().shown.high)
                                      : QString()) +
                         state(g.temp().manual))
              << "\n";
    if (st.humidEnabled)
        out() << labelled(ui::kHumidityRangeFrame,
                          (g.humid().manual
                               ? QStringLiteral("%1..%2 %RH  ").arg(g.humid().shown.low).arg(g.humid().shown.high)
                               : QString()) +
                              state(g.humid().manual))
              << "\n";
    out().flush();
    return kExitOk;
}

}  // namespace

Subcommand graphRangeSubcommand() {
    return {QStringLiteral("graph-range"),
            QStringLiteral("graph-range FILE [--x LOW..HIGH] [--temp LOW..HIGH] [--humid LOW..HIGH] [--save]"),
            uiText(text::kGraphRangeHelp),
            {QStringLiteral("--x"), QStringLiteral("--temp"), QStringLiteral("--humid")},
            1,
            runGraphRange,
            {QStringLiteral("--save")}};
}

}  // namespace quillet::cli
