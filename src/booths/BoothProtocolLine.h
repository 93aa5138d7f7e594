#pragma once
// The booth protocol log (app.log): an automatic booth gathers short marks of what happens on
// its line ("U", "P", "I", "D", digits) into one line and flushes it with the date and time.
// The line is kept in Windows-1251, one byte per character, as app.log holds it.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/Clock.h"

namespace miradel {

inline constexpr const char* kAppLogName = "app.log";

class BoothProtocolLine {
  public:
    static constexpr std::size_t kMaxLength = 99;

    // The line starts as the kind name (UTF-8), the booth number and " - ".
    BoothProtocolLine(std::string_view kindName, int boothNumber);

    // Appends the piece (ASCII marks) only when the line then still holds at most 99
    // characters; a piece that does not fit is dropped.
    void Append(std::string_view piece);

    // Appends " date time\n", writes the line to app.log and starts a fresh line. When
    // app.log cannot be opened the line stays as it was and false is returned.
    bool Flush(const std::filesystem::path& appLog, const LocalDateTime& now);

    const std::string& Text() const { return line_; }  // Windows-1251

  private:
    std::string start_;
    std::string line_;
};

// When "Запись app.log" is switched on: the date on one line, the time on the next.
bool AppendAppLogMarkers(const std::filesystem::path& appLog, const LocalDateTime& now);

}  // namespace miradel
