#pragma once
// The small Windows-1251 text files whose lines are fixed texts: receipt texts (ticket.cfg,
// avans.cfg) and the printout texts of the report windows (incass.cfg, ravans.cfg, ...).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/config/LoadError.h"

namespace miradel {

// Longest text a line keeps, in characters (a 127-character read less its line end).
inline constexpr std::size_t kFixedLineLimit = 126;

struct FixedLines {
    std::vector<std::string> lines;     // UTF-8, exactly the count asked for when no error
    std::vector<std::string> warnings;  // lines that were cut, for the engineer
    std::optional<LoadError> error;
};

// Reads the first `count` lines of the file. Each loses its line end (LF or CR LF); a line
// longer than the limit keeps its first kFixedLineLimit characters and the rest of that line
// is skipped, so the following lines stay in place. A missing file, or one with fewer lines
// than `count`, gives `errorText` as the error.
FixedLines LoadFixedLines(const std::filesystem::path& path, std::size_t count,
                          const std::string& errorText);

// The 26 texts of the printed receipts: ticket.cfg lines 1..17 are texts 0..16, avans.cfg
// lines 1..9 are texts 17..25.
class ReceiptTexts {
  public:
    static constexpr std::size_t kTicketLines = 17;
    static constexpr std::size_t kAvansLines = 9;
    static constexpr std::size_t kCount = kTicketLines + kAvansLines;

    // Loads both files from the working folder; the error texts are "Error open ticket.cfg"
    // and "Error open avans.cfg", checked in that order.
    static std::optional<LoadError> Load(const std::filesystem::path& folder, ReceiptTexts& out,
                                         std::vector<std::string>* warnings = nullptr);

    const std::string& Text(std::size_t index) const;  // empty for an index out of range

  private:
    std::vector<std::string> texts_ = std::vector<std::string>(kCount);
};

}  // namespace miradel
