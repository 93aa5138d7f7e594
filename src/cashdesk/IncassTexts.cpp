#include "cashdesk/IncassTexts.h"

#include <fmt/format.h>

#include <initializer_list>

#include "app/config/FixedLineFile.h"
#include "common/SafeFormat.h"

namespace miradel {

const std::string& IncassTexts::Line(std::size_t n) const {
    static const std::string empty;
    return n < lines_.size() ? lines_[n] : empty;
}

IncassLoad LoadIncassTexts(const std::filesystem::path& folder) {
    IncassLoad load;
    FixedLines file =
        LoadFixedLines(folder / kIncassCfgName, IncassTexts::kCount, "Error open incass.cfg");
    load.warnings = std::move(file.warnings);
    if (file.error) {
        load.error = std::move(file.error);
        return load;
    }
    std::array<std::string, IncassTexts::kCount> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = std::move(file.lines[i]);
    }
    using K = FormatArgKind;
    struct Expected {
        std::size_t line;
        std::initializer_list<K> values;
    };
    for (const Expected& e : std::initializer_list<Expected>{
             {2, {K::kInteger}},
             {3, {K::kString, K::kString}},
             {4, {K::kInteger, K::kInteger}},
             {5, {K::kInteger, K::kInteger}},
             {15, {K::kInteger}},
             {16, {K::kString}},
             {17, {K::kString}},
             {23, {K::kInteger, K::kInteger}},
             {24, {K::kInteger, K::kInteger}},
         }) {
        const TemplateCheck check = CheckTemplate(lines[e.line], e.values);
        if (!check.ok) {
            load.warnings.push_back(
                fmt::format("incass.cfg line {}: {}", e.line + 1, check.message));
        }
    }
    load.texts = IncassTexts(std::move(lines));
    return load;
}

}  // namespace miradel
