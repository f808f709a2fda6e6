#include "print/partialprint.h"
#include "core/store.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/vb.h"

#include <cmath>

namespace quillet {
namespace {

constexpr Caption kCaptionPrint = Caption::Print;
const QString kDateTime = QStringLiteral("yyyy-mm-dd hh:nn:ss");

int number(const QString& text) { return int(std::lround(vb::intPart(vb::val(text)))); }

// Date values compared to the second, as the boxes show them.
long long seconds(double dateValue) { return std::llround(dateValue * 86400.0); }

}  // namespace

int partPrintLargeStep(int rowCount) { return int(vb::cint(rowCount / 40.0 + 1)); }

QString rowTimeText(const ChannelStore& s, int n) { return vb::formatDate(rowTime(s, n), kDateTime); }

PartialPrintForm::PartialPrintForm(AppContext& ctx) : ctx_(ctx) {
    const ChannelStore& s = ctx.store;
    maximum = std::max<int>(1, s.rowCount);
    largeStep = partPrintLargeStep(s.rowCount);
    text[StartNo] = QStringLiteral("1");
    text[StartTime] = vb::formatDate(s.axisStart, QStringLiteral("yyyy-mm-dd hh:nn"));
    sctStartNo = 1;
    text[EndNo] = QString::number(s.rowCount);
    text[EndTime] = rowTimeText(s, s.rowCount);
    sctEndNo = maximum;
    lastAccepted = text;
}

void PartialPrintForm::gotFocus(Box box) { lastAccepted[size_t(box)] = text[size_t(box)]; }

void PartialPrintForm::barMoved(bool start, int value) {
    value = std::clamp(value, minimum, maximum);
    (start ? sctStartNo : sctEndNo) = value;
    text[start ? StartNo : EndNo] = QString::number(value);
    text[start ? StartTime : EndTime] = rowTimeText(ctx_.store, value);
}

void PartialPrintForm::leave(Box box) {
    switch (box) {
    case StartNo: checkStartNo(); break;
    case EndNo: checkEndNo(); break;
    case StartTime:
    case EndTime:
        // A time left as the dialog put it needs no check (the start time is
        // loaded without its seconds and would otherwise be refused when the
        // axis starts at, say, 10:00:30).
        if (text[size_t(box)] != lastAccepted[size_t(box)]) checkTime(box == StartTime);
        break;
    }
}

void PartialPrintForm::checkStartNo() {
    const int s = number(text[StartNo]);
    const int e = number(text[EndNo]);
    if (s > e) {
        showMessage(ctx_, kCaptionPrint, Msg::StartAfterEnd, kOkOnly);
        text[StartNo] = lastAccepted[StartNo];
    } else if (s > maximum) {
        showMessage(ctx_, kCaptionPrint, Msg::OutOfRange, kOkOnly);
        text[StartNo] = QString::number(maximum);
    } else if (s < minimum) {
        showMessage(ctx_, kCaptionPrint, Msg::OutOfRange, kOkOnly);
        text[StartNo] = QString::number(minimum);
    }
    barMoved(true, number(text[StartNo]));
    lastAccepted[StartNo] = text[StartNo];
}

void PartialPrintForm::checkEndNo() {
    const int e = number(text[EndNo]);
    if (e > maximum || e < minimum) {
        showMessage(ctx_, kCaptionPrint, Msg::OutOfRange, kOkOnly);
        text[EndNo] = QString::number(maximum);
    }
    barMoved(false, number(text[EndNo]));
    lastAccepted[EndNo] = text[EndNo];
}

void PartialPrintForm::checkTime(bool start) {
    const Box box = start ? StartTime : EndTime;
    const ChannelStore& s = ctx_.store;
    const std::optional<double> t = vb::parseDateTime(text[box]);
    if (!t) {
        showMessage(ctx_, kCaptionPrint, start ? Msg::BadStartDateTime : Msg::BadEndDateTime, kOkOnly);
        text[box] = lastAccepted[box];
        return;
    }
    const double first = s.axisStart;
    const double last = rowTime(s, maximum);
    if (seconds(*t) > seconds(last) || seconds(*t) < seconds(first) || s.axisInterval <= 0) {
        showMessage(ctx_, kCaptionPrint, Msg::OutOfRange, kOkOnly);
        text[box] = lastAccepted[box];
        return;
    }
    // One second absorbs the rounding of the date arithmetic: a time typed
    // exactly as shown for a row selects that row.
    const int k = int(vb::intPart((*t - first) / s.axisInterval + 1.0 / 1440 / 60));
    text[box] = vb::formatDate(first + k * s.axisInterval, kDateTime);
    text[start ? StartNo : EndNo] = QString::number(k + 1);
    barMoved(start, k + 1);
    if (start)
        checkStartNo();
    else
        checkEndNo();
    lastAccepted[box] = text[box];  // the time of the row the number check kept
}

bool PartialPrintForm::ok() {
    const int first = number(text[StartNo]);
    const int last = number(text[EndNo]);
    // An end before the start would print a list without rows.
    if (last < first) {
        showMessage(ctx_, kCaptionPrint, Msg::StartAfterEnd, kOkOnly);
        return false;
    }
    rows = {first, last};
    return true;
}

}  // namespace quillet
