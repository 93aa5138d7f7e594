#include "app/config/FixedLineFile.h"

#include <fmt/format.h>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"

namespace miradel {

FixedLines LoadFixedLines(const std::filesystem::path& path, std::size_t count,
                          const std::string& errorText) {
    FixedLines result;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        result.error = LoadError{errorText, fmt::format("{} cannot be opened", path.string())};
        return result;
    }
    const std::string name = path.filename().string();
    std::size_t pos = 0;
    while (result.lines.size() < count && pos < bytes->size()) {
        std::size_t end = pos;
        while (end < bytes->size() && (*bytes)[end] != '\n') {
            ++end;
        }
        std::size_t textEnd = end;
        if (textEnd > pos && (*bytes)[textEnd - 1] == '\r') {
            --textEnd;
        }
        std::string raw(bytes->begin() + static_cast<std::ptrdiff_t>(pos),
                        bytes->begin() + static_cast<std::ptrdiff_t>(textEnd));
        if (raw.size() > kFixedLineLimit) {
            result.warnings.push_back(fmt::format("{} line {}: {} characters, cut to {}", name,
                                                  result.lines.size() + 1, raw.size(),
                                                  kFixedLineLimit));
            raw.resize(kFixedLineLimit);
        }
        result.lines.push_back(Cp1251ToUtf8(raw));
        pos = end + 1;
    }
    if (result.lines.size() < count) {
        result.error = LoadError{errorText, fmt::format("{} holds {} of the {} lines it needs",
                                                        name, result.lines.size(), count)};
    }
    return result;
}

std::optional<LoadError> ReceiptTexts::Load(const std::filesystem::path& folder, ReceiptTexts& out,
                                            std::vector<std::string>* warnings) {
    FixedLines ticket =
        LoadFixedLines(folder / "ticket.cfg", kTicketLines, "Error open ticket.cfg");
    if (ticket.error) {
        return ticket.error;
    }
    FixedLines avans = LoadFixedLines(folder / "avans.cfg", kAvansLines, "Error open avans.cfg");
    if (avans.error) {
        return avans.error;
    }
    for (std::size_t i = 0; i < kTicketLines; ++i) {
        out.texts_[i] = std::move(ticket.lines[i]);
    }
    for (std::size_t i = 0; i < kAvansLines; ++i) {
        out.texts_[kTicketLines + i] = std::move(avans.lines[i]);
    }
    if (warnings) {
        warnings->insert(warnings->end(), ticket.warnings.begin(), ticket.warnings.end());
        warnings->insert(warnings->end(), avans.warnings.begin(), avans.warnings.end());
    }
    return std::nullopt;
}

const std::string& ReceiptTexts::Text(std::size_t index) const {
    static const std::string empty;
    return index < texts_.size() ? texts_[index] : empty;
}

}  // namespace miradel
