// PartialPrintDialog's rules, without a window: the start and end of a partial list
// print, each as a row number box, a time box and a scroll bar that stay in
// step. The dialog (print/ui) shows this state and forwards its events;
// messages go through the catalogue under caption 10 ("印刷").
#pragma once

#include "print/printjobs.h"

#include <QString>

#include <array>

namespace quillet {

struct AppContext;
struct ChannelStore;

// Large step of both bars: rowCount ÷ 40 + 1 to the nearest integer, a half
// to the even one (100 rows: 4, 60 rows: 2).
int partPrintLargeStep(int rowCount);

// Time of row n of the time axis, "yyyy-mm-dd hh:nn:ss".
QString rowTimeText(const ChannelStore& s, int n);

class PartialPrintForm {
public:
    enum Box { StartNo = 0, StartTime = 1, EndNo = 2, EndTime = 3 };

    // Loading: start row 1 (its time without seconds), end row rowCount.
    explicit PartialPrintForm(AppContext& ctx);

    std::array<QString, 4> text;          // tStartNo, tStartTime, tEndNo, tEndTime
    std::array<QString, 4> lastAccepted;  // per box
    int sctStartNo = 1;
    int sctEndNo = 1;
    int minimum = 1;
    int maximum = 1;  // rowCount
    int largeStep = 1;

    // The box got the focus: its text becomes the last accepted one.
    void gotFocus(Box box);
    // The box lost the focus, or Enter was pressed in it: its check.
    void leave(Box box);
    // A bar moved: its number box and time box follow.
    void barMoved(bool start, int value);
    // OK: rows from the number boxes; false (and message 60) while the end
    // row is before the start row.
    bool ok();
    AxisRows rows;  // what OK chose

private:
    void checkStartNo();
    void checkEndNo();
    void checkTime(bool start);
    AppContext& ctx_;
};

}  // namespace quillet
