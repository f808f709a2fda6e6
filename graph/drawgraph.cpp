#include "graph/drawgraph.h"

#include "core/context.h"
#include "core/vb.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quillet {
namespace {

using vb::cint;

const QColor kGridColor(128, 0, 0);

// Twips of the picture to device units of the painter: the one place where
// the two meet.
struct Canvas {
    QPainter& p;
    QRectF target;
    double sx;  // device units per twip
    double sy;

    QPointF at(double x, double y) const { return {target.left() + x * sx, target.top() + y * sy}; }
    QRectF box(double x, double y, double w, double h) const { return {at(x, y), QSizeF(w * sx, h * sy)}; }
    // A pen width given in screen pixels (15 twips each).
    double width(double pixels) const { return pixels * 15 * sx; }
    QPen pen(const QColor& c, double pixels, Qt::PenStyle style = Qt::SolidLine) const {
        QPen pen(c, width(pixels), style, Qt::RoundCap, Qt::RoundJoin);
        return pen;
    }
    void setFontSize(int points) {
        QFont f;
        f.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAGothic")});
        f.setPixelSize(std::max(1, int(std::lround(points * 20 * sy))));
        p.setFont(f);
    }
    // Text with its top-left corner at (x, y).
    void text(double x, double y, const QString& s) {
        const QFontMetricsF fm(p.font(), p.device());
        p.drawText(at(x, y) + QPointF(0, fm.ascent()), s);
    }
};

QString padded(const QString& s, int width) {
    return QString(std::max(0, width - int(s.size())), QLatin1Char(' ')) + s;
}

enum class State { InRange, Above, Below, Error };

}  // namespace

namespace {

// What one painting of the picture shares: the canvas, the geometry, the
// state and the scales.
struct Plot {
    Canvas& c;
    const GraphGeometry& geo;
    const GraphState& g;
    const ChannelStore& s;
    const DrawOptions& options;
    double left, top, right, bottom, th;
    double tScale, hScale, xScale;
    std::vector<double> gridY;  // horizontal grid positions, normally four
    QPen gridPen;

    void gridLines() const {
        c.p.setPen(gridPen);
        for (double y : gridY) c.p.drawLine(c.at(left, y), c.at(right, y));
    }
    void axisLabels(double x, int max, int min, int tick, int width) const {
        c.p.setPen(Qt::black);
        const QString f = QStringLiteral("0.0");
        c.text(x, top - th / 2, padded(vb::format(max, f), width));
        c.text(x, bottom - th / 2, padded(vb::format(min, f), width));
        for (size_t j = 1; j <= gridY.size(); ++j)
            c.text(x, gridY[j - 1] - th / 2, padded(vb::format((max * 10 - int(j) * tick) / 10.0, f), width));
    }
};

// The plot area, white, and its frame.
void drawFrame(const Plot& d) {
    QPainter& painter = d.c.p;
    painter.setPen(d.c.pen(Qt::white, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(d.c.box(d.left, d.top, d.geo.plotWidth, d.geo.plotHeight));
    painter.setPen(d.c.pen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(d.c.box(d.left + 1, d.top + 1, d.geo.plotWidth - 1, d.geo.plotHeight - 1));
}

// The temperature axis on the left, the humidity axis on the right (its
// grid lines only without a temperature axis), each with its unit.
void drawAxes(const Plot& d) {
    const GraphState& g = d.g;
    const double unitY = d.top - 2 * d.th < 0 ? d.th / 2 : d.top - 2 * d.th;
    if (g.hasTemp) {
        d.c.p.setPen(Qt::black);
        d.c.text(d.geo.labelLeft, unitY, QStringLiteral("[℃]"));
        d.axisLabels(d.geo.labelLeft, g.temp().shown.high, g.temp().shown.low, g.temp().tick, 6);
        d.gridLines();
    }
    if (g.hasHumid) {
        d.c.p.setPen(Qt::black);
        d.c.text(d.right + d.geo.labelGap, unitY, QStringLiteral("[%RH]"));
        d.axisLabels(d.right + d.geo.labelGap, g.humid().shown.high, g.humid().shown.low, g.humid().tick, 5);
        if (!g.hasTemp) d.gridLines();
    }
}

// The X axis: the vertical grid lines, dates and times at both ends and
// under the lines where a label has room.
void drawTimeAxis(const Plot& d) {
    const GraphState& g = d.g;
    const double left = d.left, right = d.right, th = d.th;
    const double dateY = d.bottom + 60 + th / 2, timeY = d.bottom + 60 + 1.5 * th + 15;
    auto timeLabel = [&](double x, int n) {
        d.c.p.setPen(Qt::black);
        const double t = dataNumberTime(d.s, n);
        d.c.text(x, dateY, vb::formatDate(t, QStringLiteral("yy-mm-dd")));
        d.c.text(x, timeY, vb::formatDate(t, QStringLiteral("hh:nn:ss")));
    };
    const bool hasData = d.s.channelsInUse > 0;
    if (hasData) {
        timeLabel(left - 3 * th, g.x().shown.low);
        timeLabel(right - 3 * th, g.x().shown.high);
    }
    const long long xStep = cint(d.xScale * g.x().tick);
    if (xStep <= 0) return;
    long long k = 1;
    double labelEnd = left + 3 * th;  // a label never runs into the one before
    for (long long x = cint(d.xScale * g.x().tick + left); x <= right - 1; x += xStep, ++k) {
        d.c.p.setPen(d.gridPen);
        d.c.p.drawLine(d.c.at(double(x), d.top), d.c.at(double(x), d.bottom));
        if (hasData && x + 6 * th < right && x - 6 * th > left && x - 3 * th >= labelEnd) {
            timeLabel(x - 3 * th, int(g.x().shown.low + k * g.x().tick));
            labelEnd = x + 3 * th;
        }
    }
}

// The colour of the first channel in use on the humidity (else the
// temperature) axis; black without one.
QColor axisColour(const Plot& d, bool humid) {
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelRecord& rec = d.s.ch[size_t(ch)];
        if (rec.inUse == 1 && isHumidity(rec.kind) == humid) return QColor::fromRgb(QRgb(d.g.channelColor[size_t(ch)]));
    }
    return Qt::black;
}

// The reference lines, while switched on, in the colour of their axis's
// first channel and marked with their unit at the right end; an unset value
// takes the middle of its axis.
void drawReferenceLines(const Plot& d) {
    const GraphState& g = d.g;
    if (!g.refLineOn) return;
    const ReferenceValues ref = referenceValues(g);
    const double end = d.left + d.geo.plotWidth - 1;
    // A line strictly inside its axis only.
    auto line = [&](bool shown, const Bounds& b, int value, double scale, bool humid) {
        if (!shown || value <= b.low || value >= b.high) return;
        const double y = (b.high * 10 - value * 10) * scale + d.top;
        const QColor colour = axisColour(d, humid);
        d.c.p.setPen(d.c.pen(colour, 1));
        d.c.p.drawLine(d.c.at(d.left, y), d.c.at(end, y));
        const QString label = QString::number(value) + (humid ? QStringLiteral("%RH") : QStringLiteral("℃"));
        const double width = QFontMetricsF(d.c.p.font(), d.c.p.device()).horizontalAdvance(label) / d.c.sx;
        d.c.text(end - width - 60, y - d.th - 15, label);
    };
    line(g.hasTemp, g.temp().shown, ref.temp, d.tScale, false);
    line(g.hasHumid, g.humid().shown, ref.humid, d.hScale, true);
}

// A channel's alarm limits, while switched on: the time its samples lie
// beyond a limit shaded lightly in its colour, each limit strictly inside
// its axis a dashed line in its colour.
void drawAlarmLimits(const Plot& d, int ch, const ChannelWindow& w) {
    const ChannelRecord& rec = d.s.ch[size_t(ch)];
    if (!d.g.alarmLinesOn || !hasAlarmValues(rec.kind)) return;
    QPainter& painter = d.c.p;
    const bool humid = isHumidity(rec.kind);
    const Bounds& b = humid ? d.g.humid().shown : d.g.temp().shown;
    const double scale = humid ? d.hScale : d.tScale;
    const QColor colour = QColor::fromRgb(QRgb(d.g.channelColor[size_t(ch)]));
    const int16_t upper = rec.upperAlarm, lower = rec.lowerAlarm;

    QColor shade = colour;
    shade.setAlpha(40);
    const int16_t* samples = d.s.samples[size_t(ch)].data();
    auto sampleX = [&](int i) { return d.left + (w.xIndex + i - w.firstSample - 1) * d.xScale; };
    auto band = [&](int first, int last) {
        const double x0 = std::max(d.left, sampleX(first)), x1 = std::min(d.right, sampleX(last) + d.xScale);
        if (x1 > x0) painter.fillRect(d.c.box(x0, d.top, x1 - x0, d.geo.plotHeight), shade);
    };
    int runStart = 0;
    for (int i = w.firstSample; i <= w.lastSample; ++i) {
        const int v = samples[i];
        const bool beyond = v != kErrorSample && (v > upper || v < lower);
        if (beyond && runStart == 0) runStart = i;
        if (!beyond && runStart != 0) {
            band(runStart, i - 1);
            runStart = 0;
        }
    }
    if (runStart != 0) band(runStart, w.lastSample);

    painter.setPen(d.c.pen(colour, 1, Qt::DashLine));
    for (const int limit : {int(upper), int(lower)}) {
        if (limit <= b.low * 10 || limit >= b.high * 10) continue;
        const double y = (b.high * 10 - limit) * scale + d.top;
        painter.drawLine(d.c.at(d.left, y), d.c.at(d.left + d.geo.plotWidth - 1, y));
    }
}

// One channel's window of samples. At most one sample per two pixel
// columns is drawn after the first: x snaps down to whole pixels of p
// twips, and a sample within the same or the next column is skipped.
void drawChannel(const Plot& d, int ch, const ChannelWindow& w) {
    QPainter& painter = d.c.p;
    Canvas& c = d.c;
    const GraphState& g = d.g;
    const double top = d.top, bottom = d.bottom, left = d.left;
    const double p = d.options.paper ? 15.0 : std::max(1.0, 1 / c.sx);
    const long long ip = std::max(1LL, cint(p));
    const bool circles = g.x().shown.high - g.x().shown.low <= 100;
    const ChannelRecord& rec = d.s.ch[size_t(ch)];
    const bool humid = isHumidity(rec.kind);
    const int max10 = (humid ? g.humid().shown.high : g.temp().shown.high) * 10;
    const int min10 = (humid ? g.humid().shown.low : g.temp().shown.low) * 10;
    const double scale = humid ? d.hScale : d.tScale;
    const QString labelFormat = humid ? QStringLiteral("0") : QStringLiteral("0.0");
    const QColor colour = QColor::fromRgb(QRgb(g.channelColor[size_t(ch)]));
    const QPen linePen = c.pen(colour, g.lineWidth);
    const int16_t* samples = d.s.samples[size_t(ch)].data();

    // Segments and pixels wait in batches; a label or a circle first draws
    // what waits, so the order of the layers is kept.
    std::vector<QLineF> lines;
    std::vector<QPoint> pixels;
    bool segmentDrawn = false;
    auto flush = [&] {
        if (!lines.empty()) {
            painter.setPen(linePen);
            painter.drawLines(lines.data(), int(lines.size()));
            lines.clear();
        }
        if (!pixels.empty()) {
            painter.setPen(QPen(colour, 1));
            painter.drawPoints(pixels.data(), int(pixels.size()));
            pixels.clear();
        }
    };
    auto classify = [&](int v, double& y) {
        if (v == kErrorSample) {
            y = bottom;
            return State::Error;
        }
        if (v > max10) {
            y = top;
            return State::Above;
        }
        if (v < min10) {
            y = bottom;
            return State::Below;
        }
        y = (max10 - v) * scale + top;
        return State::InRange;
    };
    auto mark = [&](double x, double y, int v) {
        if (g.labelsOn) {
            flush();
            c.setFontSize(9);
            painter.setPen(Qt::black);
            c.text(x, y, vb::format(v / 10.0, labelFormat));
            c.setFontSize(d.geo.fontSize);
        }
        if (!d.options.paper) {
            const QPointF at = c.at(x, y);
            pixels.emplace_back(int(std::floor(at.x())), int(std::floor(at.y())));
        }
        if (circles) {
            flush();
            painter.setPen(c.pen(colour, segmentDrawn ? g.lineWidth : 1));
            painter.setBrush(Qt::black);
            painter.drawEllipse(c.at(x, y), 30 * c.sx, 30 * c.sy);
            painter.setBrush(Qt::NoBrush);
        }
    };
    auto line = [&](double x0, double y0, double x1, double y1) {
        lines.emplace_back(c.at(x0, y0), c.at(x1, y1));
        segmentDrawn = true;
    };

    double prevX = left + (w.xIndex - 1) * d.xScale, prevY = 0;
    State prevState = classify(samples[w.firstSample], prevY);
    if (prevState == State::InRange) mark(prevX, prevY, samples[w.firstSample]);
    long long lastDrawnX = 0;
    for (int i = w.firstSample + 1, k = 1; i <= w.lastSample; ++i, ++k) {
        const long long x = cint(left + (w.xIndex + k - 1) * d.xScale) / ip * ip;
        if (x > lastDrawnX + p) {
            lastDrawnX = x;
            const int v = samples[i];
            double y = 0;
            const State state = classify(v, y);
            if (state == State::InRange) {
                if (prevState != State::Error) {
                    mark(double(x), y, v);
                    line(prevX, prevY, double(x), y);
                } else {
                    mark(double(x), y, v);
                }
            } else if (state != State::Error && prevState != State::Error && state != prevState) {
                line(prevX, prevY, double(x), y);
            }
            prevState = state;
            prevY = y;
        }
        prevX = double(x);
    }
    flush();
}

}  // namespace

ReferenceValues referenceValues(const GraphState& g) {
    const auto middle = [](const Bounds& b, int lowest, int highest) {
        return int16_t(std::clamp<long long>(cint((b.low + b.high) / 2.0), lowest, highest));
    };
    return {g.refTemp == 9999 ? middle(g.temp().shown, -100, 200) : g.refTemp,
            g.refHumid == 9999 ? middle(g.humid().shown, 0, 100) : g.refHumid};
}

void defaultReferenceLines(GraphState& g) {
    const ReferenceValues ref = referenceValues(g);
    g.refTemp = ref.temp;
    g.refHumid = ref.humid;
}

void drawGraph(QPainter& painter, const QRectF& target, const ChannelStore& s, const GraphState& g,
               const GraphGeometry& geo, const DrawOptions& options) {
    Canvas c{painter, target, target.width() / std::max(1.0, geo.pictureWidth),
             target.height() / std::max(1.0, geo.pictureHeight)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, options.paper);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (options.background.isValid()) painter.fillRect(target, options.background);
    c.setFontSize(geo.fontSize);

    Plot d{c, geo, g, s, options};
    d.left = geo.plotLeft;
    d.top = geo.plotTop;
    d.right = geo.plotRight();
    d.bottom = geo.plotBottom();
    d.th = geo.textHeight;
    d.tScale = geo.plotHeight / double(std::max(1, (g.temp().shown.high - g.temp().shown.low) * 10));
    d.hScale = geo.plotHeight / double(std::max(1, (g.humid().shown.high - g.humid().shown.low) * 10));
    d.xScale = geo.plotWidth / double(std::max(1, g.x().shown.high - g.x().shown.low));
    const int step = int(vb::intPart(geo.plotHeight / 5.0));
    for (double y = d.top + step; step > 0 && y <= d.top + geo.plotHeight - geo.plotHeight / 5.0; y += step)
        d.gridY.push_back(y);
    d.gridPen = c.pen(kGridColor, 1, Qt::DotLine);

    drawFrame(d);
    drawAxes(d);
    drawTimeAxis(d);
    const ChannelWindows windows = channelWindows(s, g);
    for (int ch = 1; ch <= kChannels; ++ch)
        if (windows[size_t(ch)].firstSample != 0) drawAlarmLimits(d, ch, windows[size_t(ch)]);
    drawReferenceLines(d);
    for (int ch = 1; ch <= kChannels; ++ch)
        if (windows[size_t(ch)].firstSample != 0) drawChannel(d, ch, windows[size_t(ch)]);
    painter.restore();
}

}  // namespace quillet
