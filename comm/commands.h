// The reader's commands by name: group and number of each frame.
#pragma once

namespace quillet {

struct Command {
    int group;
    int number;
};

namespace Cmd {
inline constexpr Command Identify{1, 1};     // the logger's identification and settings
inline constexpr Command ReadValues{1, 2};   // the recorded values, in blocks
inline constexpr Command ReadStatus{1, 3};   // recording, waiting, locked or ready
inline constexpr Command ReadSummary{1, 4};  // maximum, minimum, average, records, errors
inline constexpr Command Lock{2, 1};         // lock ("1"), leave unlocked ("2")
inline constexpr Command RecordLimit{3, 0};  // the end reservation
inline constexpr Command SetClock{3, 1};
inline constexpr Command StartTime{3, 2};  // erases the records, arms the next recording
inline constexpr Command Interval{3, 3};
inline constexpr Command Reference{3, 4};
inline constexpr Command CardNo{3, 5};
inline constexpr Command TestNo{3, 6};
inline constexpr Command RecordMode{3, 7};  // one-time or endless
inline constexpr Command AlarmsChannel1{3, 8};
inline constexpr Command AlarmsChannel2{3, 9};
}  // namespace Cmd

}  // namespace quillet
