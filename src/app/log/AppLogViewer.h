#pragma once
// The model of the app.log viewer ("View log."): the booth protocol lines, one per row.

#include <filesystem>
#include <string>
#include <vector>

#include "common/OperatorPrompt.h"

namespace miradel {

inline constexpr const char* kAppLogMissing = "Не найден app.log!";
inline constexpr const char* kAppLogMissingCaption = "Error Open";
inline constexpr const char* kAppLogCleared = "Log. file clear!";
inline constexpr const char* kAppLogCaption = "View log.";
inline constexpr const char* kAppLogClearButton = "Очистка";
inline constexpr const char* kAppLogCloseButton = "Закрыть";

class AppLogViewer {
  public:
    AppLogViewer(std::filesystem::path appLog, OperatorPrompt& prompt);

    // Loads the whole file (Windows-1251, shown as UTF-8), one row per line. When app.log is
    // missing or cannot be read the operator is told "Не найден app.log!" and false is
    // returned: the window is not shown.
    bool Open();

    // "Очистка": deletes app.log and leaves the single row "Log. file clear!". The next
    // protocol line of a booth creates the file again.
    void Clear();

    // "Закрыть": releases the loaded rows.
    void Close();

    const std::vector<std::string>& Rows() const { return rows_; }

  private:
    std::filesystem::path file_;
    OperatorPrompt& prompt_;
    std::vector<std::string> rows_;
};

}  // namespace miradel
