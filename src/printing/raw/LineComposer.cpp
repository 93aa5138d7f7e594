#include "printing/raw/LineComposer.h"

#include "printing/raw/PrinterText.h"

#include <algorithm>

namespace miradel {

namespace {

std::size_t Bounded(int value, int limit) {
    return static_cast<std::size_t>(std::clamp(value, 0, limit));
}

}  // namespace

std::string ComposeLine(std::string_view text, const std::vector<ValueAt>& values) {
    std::vector<std::string_view> line = SplitCharacters(text);
    for (const ValueAt& v : values) {
        const std::vector<std::string_view> value = SplitCharacters(v.value);
        const std::size_t end = v.column + value.size();
        if (line.size() < end) {
            line.resize(end, " ");
        }
        for (std::size_t i = 0; i < value.size(); ++i) {
            line[v.column + i] = value[i];
        }
    }
    std::string out;
    out.reserve(text.size() + 16);
    for (const std::string_view c : line) {
        out.append(c);
    }
    return out;
}

ReceiptLayout ReceiptLayout::From(const AppConfigData& config) {
    ReceiptLayout layout;
    layout.twoColumns = config.Get(appcfg::kReceiptColumns) == 1;
    layout.distance = config.Get(appcfg::kColumnDistance);
    layout.feedLines = config.Get(appcfg::kFeedLines);
    layout.laserPrinter = config.Get(appcfg::kLaserPrinter);
    return layout;
}

std::string LayoutLine(const std::string& composed, const ReceiptLayout& layout) {
    if (!layout.twoColumns) {
        return composed;
    }
    std::string line = composed;
    line.append(Bounded(layout.distance, kMaxColumnDistance), ' ');
    line += composed;
    return line;
}

void AppendFeedLines(std::vector<std::string>& lines, const ReceiptLayout& layout) {
    for (std::size_t i = 0, n = Bounded(layout.feedLines, kMaxFeedLines); i < n; ++i) {
        lines.emplace_back(kFeedLine);
    }
}

}  // namespace miradel
