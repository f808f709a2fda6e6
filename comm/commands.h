// The reader's commands by name: group and number of each frame.
#pragma once

namespace quillet {

struct WireCommand {
    int group;
    int number;
};

namespace Cmd {
inline constexpr WireCommand Identify{1, 1};     // the logger's identification and settings
inline constexpr WireCommand ReadValues{1, 2};   // the recorded values, in blocks
inline constexpr WireCommand ReadStatus{1, 3};   // recording, waiting, locked or ready
inline constexpr WireCommand ReadSummary{1, 4};  // maximum, minimum, average, records, errors
inline constexpr WireCommand Lock{2, 1};         // lock ("1"), leave unlocked ("2")
inline constexpr WireCommand RecordLimit{3, 0};  // the end reservation
inline constexpr WireCommand SetClock{3, 1};
inline constexpr WireCommand StartTime{3, 2};  // erases the records, arms the next recording
inline constexpr WireCommand Interval{3, 3};
inline constexpr WireCommand Reference{3, 4};
inline constexpr WireCommand CardNo{3, 5};
inline constexpr WireCommand TestNo{3, 6};
inline constexpr WireCommand RecordMode{3, 7};  // one-time or endless
inline constexpr WireCommand AlarmsChannel1{3, 8};
inline constexpr WireCommand AlarmsChannel2{3, 9};
}  // namespace Cmd

}  // namespace quillet
