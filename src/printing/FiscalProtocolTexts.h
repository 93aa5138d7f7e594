#pragma once
// The DESR texts of the fiscal protocol table, by result code.

#include <string>

namespace miradel {

// Меркурий 130Ф driver results (10 is the program's own code for a failed close).
std::string M130ProtocolText(int code);
// Меркурий 114.1Ф worker events: 0, 100, 101, 102.
std::string M114ProtocolText(int code);
// Меркурий 114.1Ф component errors 1..18.
std::string M114ComponentErrorText(int code);

inline constexpr int kM130CloseFailed = 10;
inline constexpr int kM114DayOpened = 100;
inline constexpr int kM114DayClosed = 101;
inline constexpr int kM114DayWasOpen = 102;

}  // namespace miradel
