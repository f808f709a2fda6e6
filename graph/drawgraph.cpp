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

void defaultReferenceLines(GraphState& g) {
    if (g.refTemp == 9999) g.refTemp = int16_t(std::clamp<long long>(cint((g.tempMin + g.tempMax) / 2.0), -100, 200));
    if (g.refHumid == 9999) g.refHumid = int16_t(std::clamp<long long>(cint((g.humidMin + g.humidMax) / 2.0), 0, 100));
}

void drawGraph(QPainter& painter, const QRectF& target, AppContext& ctx, const GraphGeometry& geo,
               const DrawOptions& options) {
    GraphState& g = ctx.graph;
    const ChannelStore& s = ctx.store;
    Canvas c{painter, target, target.width() / std::max(1.0, geo.pictureWidth),
             target.height() / std::max(1.0, geo.pictureHeight)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, options.paper);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (options.background.isValid()) painter.fillRect(target, options.background);

    const double left = geo.plotLeft, top = geo.plotTop;
    const double right = geo.plotRight(), bottom = geo.plotBottom();
    const double th = geo.textHeight;
    c.setFontSize(geo.fontSize);

    // 1. The plot area, white.
    painter.setPen(c.pen(Qt::white, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(c.box(left, top, geo.plotWidth, geo.plotHeight));
    // 2. The frame.
    painter.setPen(c.pen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(c.box(left + 1, top + 1, geo.plotWidth - 1, geo.plotHeight - 1));

    // Horizontal grid positions, normally four.
    std::vector<double> gridY;
    const int step = int(vb::intPart(geo.plotHeight / 5.0));
    for (double y = top + step; step > 0 && y <= top + geo.plotHeight - geo.plotHeight / 5.0; y += step)
        gridY.push_back(y);
    const QPen gridPen = c.pen(kGridColor, 1, Qt::DotLine);
    auto drawGridLines = [&] {
        painter.setPen(gridPen);
        for (double y : gridY) painter.drawLine(c.at(left, y), c.at(right, y));
    };
    const double unitY = top - 2 * th < 0 ? th / 2 : top - 2 * th;
    const int tempSpan = std::max(1, (g.tempMax - g.tempMin) * 10);
    const int humidSpan = std::max(1, (g.humidMax - g.humidMin) * 10);
    const double tScale = geo.plotHeight / double(tempSpan);
    const double hScale = geo.plotHeight / double(humidSpan);
    auto axisLabels = [&](double x, int max, int min, int tick, int width) {
        painter.setPen(Qt::black);
        const QString f = QStringLiteral("0.0");
        c.text(x, top - th / 2, padded(vb::format(max, f), width));
        c.text(x, bottom - th / 2, padded(vb::format(min, f), width));
        for (size_t j = 1; j <= gridY.size(); ++j)
            c.text(x, gridY[j - 1] - th / 2, padded(vb::format((max * 10 - int(j) * tick) / 10.0, f), width));
    };

    // 3. Temperature axis.
    if (g.hasTemp) {
        painter.setPen(Qt::black);
        c.text(geo.labelLeft, unitY, QStringLiteral("[℃]"));
        axisLabels(geo.labelLeft, g.tempMax, g.tempMin, g.tempTick, 6);
        drawGridLines();
    }
    // 4. Humidity axis; its grid lines only without a temperature axis.
    if (g.hasHumid) {
        painter.setPen(Qt::black);
        c.text(right + geo.labelGap, unitY, QStringLiteral("[%RH]"));
        axisLabels(right + geo.labelGap, g.humidMax, g.humidMin, g.humidTick, 5);
        if (!g.hasTemp) drawGridLines();
    }

    // 5. X axis: dates and times at both ends and under the vertical lines.
    const int xSpan = std::max(1, g.xEnd - g.xStart);
    const double xScale = geo.plotWidth / double(xSpan);
    const double dateY = bottom + 60 + th / 2, timeY = bottom + 60 + 1.5 * th + 15;
    auto timeLabel = [&](double x, int n) {
        painter.setPen(Qt::black);
        const double t = dataNumberTime(s, n);
        c.text(x, dateY, vb::formatDate(t, QStringLiteral("yy-mm-dd")));
        c.text(x, timeY, vb::formatDate(t, QStringLiteral("hh:nn:ss")));
    };
    const bool hasData = s.channelsInUse > 0;
    if (hasData) {
        timeLabel(left - 3 * th, g.xStart);
        timeLabel(right - 3 * th, g.xEnd);
    }
    const long long xStep = cint(xScale * g.xTick);
    if (xStep > 0) {
        long long k = 1;
        double labelEnd = left + 3 * th;  // a label never runs into the one before
        for (long long x = cint(xScale * g.xTick + left); x <= right - 1; x += xStep, ++k) {
            painter.setPen(gridPen);
            painter.drawLine(c.at(double(x), top), c.at(double(x), bottom));
            if (hasData && x + 6 * th < right && x - 6 * th > left && x - 3 * th >= labelEnd) {
                timeLabel(x - 3 * th, int(g.xStart + k * g.xTick));
                labelEnd = x + 3 * th;
            }
        }
    }

    // 6. Reference lines; an unset value takes the middle of its axis.
    defaultReferenceLines(g);
    if (g.refLineOn) {
        painter.setPen(c.pen(Qt::black, 1));
        if (g.hasTemp && g.tempMin < g.refTemp && g.refTemp < g.tempMax) {
            const double y = (g.tempMax * 10 - g.refTemp * 10) * tScale + top;
            painter.drawLine(c.at(left, y), c.at(left + geo.plotWidth - 1, y));
        }
        if (g.hasHumid && g.humidMin < g.refHumid && g.refHumid < g.humidMax) {
            const double y = (g.humidMax * 10 - g.refHumid * 10) * hScale + top;
            painter.drawLine(c.at(left, y), c.at(left + geo.plotWidth - 1, y));
        }
    }

    // 7. Channels. At most one sample per two pixel columns is drawn after
    // the first: x snaps down to whole pixels of p twips, and a sample within
    // the same or the next column is skipped.
    const double p = options.paper ? 15.0 : std::max(1.0, 1 / c.sx);
    const long long ip = std::max(1LL, cint(p));
    const bool circles = g.xEnd - g.xStart <= 100;
    const ChannelWindows windows = channelWindows(ctx);
    for (int ch = 1; ch <= kChannels; ++ch) {
        const ChannelWindow& w = windows[size_t(ch)];
        if (w.firstSample == 0) continue;
        const ChannelRecord& rec = s.ch[size_t(ch)];
        const bool humid = isHumidity(rec.kind);
        const int max10 = (humid ? g.humidMax : g.tempMax) * 10;
        const int min10 = (humid ? g.humidMin : g.tempMin) * 10;
        const double scale = humid ? hScale : tScale;
        const QString labelFormat = humid ? QStringLiteral("0") : QStringLiteral("0.0");
        const QColor colour = QColor::fromRgb(QRgb(g.channelColor[size_t(ch)]));
        const QPen linePen = c.pen(colour, g.lineWidth);
        const int16_t* samples = s.samples[size_t(ch)].data();

        // Segments and pixels wait in batches; a label or a circle first
        // draws what waits, so the order of the layers is kept.
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
                c.setFontSize(geo.fontSize);
            }
            if (!options.paper) {
                const QPointF d = c.at(x, y);
                pixels.emplace_back(int(std::floor(d.x())), int(std::floor(d.y())));
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

        double prevX = left + (w.xIndex - 1) * xScale, prevY = 0;
        State prevState = classify(samples[w.firstSample], prevY);
        if (prevState == State::InRange) mark(prevX, prevY, samples[w.firstSample]);
        long long lastDrawnX = 0;
        for (int i = w.firstSample + 1, k = 1; i <= w.lastSample; ++i, ++k) {
            const long long x = cint(left + (w.xIndex + k - 1) * xScale) / ip * ip;
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
    painter.restore();
}

}  // namespace quillet
