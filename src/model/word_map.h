// SPDX-License-Identifier: GPL-3.0-or-later
// Word positions of every field inside the unit image. Codec code uses these
// names only, so the layout of the unit's memory is written down in one place.
#pragma once

namespace vireo::word {

inline constexpr int Count = 99;

inline constexpr int SystemTone = 2;        // list index
inline constexpr int BusyChannelDetect = 3; // list index
inline constexpr int FleetDispatch = 5;     // flag
inline constexpr int PrimaryCode = 6;       // digit pairs, words 6 and 7
inline constexpr int SecondaryCode = 8;     // digit pairs, words 8 and 9
inline constexpr int LowerBlock = 10;       // digit pairs, words 10 and 11
inline constexpr int SystemId = 12;         // whole number
inline constexpr int PrioritySubscriber = 13;
inline constexpr int EmergencyOverride = 14;
inline constexpr int ClearChannelAlerting = 15;
inline constexpr int AlwaysZero = 16;     // rewritten as 0 on every rebuild
inline constexpr int UnitAccessCode = 17; // digit pairs, five digits in words 17..19
inline constexpr int MemorySpeedDial = 20;
inline constexpr int UpperBlock = 22;     // digit pairs with an empty marker, words 22 and 23
inline constexpr int GroupCodeFirst = 25; // one word per group code, 25..40
inline constexpr int SpeedDialFirst = 42; // four words per entry, 42..97
inline constexpr int SpeedDialWords = 4;

// Words the editor never touches; they travel unchanged between unit and files.
inline constexpr int Carried[] = {0, 1, 4, 21, 24, 41, 98};

// Word of the value 0x000F that marks an empty group code.
inline constexpr unsigned EmptyGroupCode = 0x000F;

} // namespace vireo::word
