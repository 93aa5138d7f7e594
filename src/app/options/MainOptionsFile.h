#pragma once
// Saving the main options to the working folder, and the marks app.log gets when its writing
// is switched on.

#include <filesystem>
#include <string>

#include "app/options/MainOptionsModel.h"
#include "common/Clock.h"

namespace miradel {

struct MainOptionsSave {
    bool written = false;  // false: app.cfg was missing or could not be replaced; nothing saved
    std::string error;     // why the file could not be replaced, for the engineer
    MainOptionsOutcome outcome;
};

// Reads app.cfg as it is now, writes the window's fields over it and replaces the file in one
// step. A missing app.cfg drops the changes without a word: the window just closes. A short
// file keeps the defaults for the bytes it lacks, as at start-up, and is written back whole.
MainOptionsSave ApplyMainOptionsToFolder(const std::filesystem::path& folder,
                                         const MainOptionsModel& model);

// The two lines app.log gets when "Запись app.log" is switched on: the date, then the time.
std::string AppLogSwitchOnLines(const LocalDateTime& now);

// Appends those lines to the file; false when it cannot be opened or written.
bool AppendAppLogSwitchOn(const std::filesystem::path& appLog, const LocalDateTime& now);

}  // namespace miradel
