#include "tariff/TextLines.h"

namespace miradel {

std::vector<TextLine> SplitLines(std::string_view bytes) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    int32_t number = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        TextLine line;
        line.number = ++number;
        if (end == std::string_view::npos) {
            line.text = bytes.substr(start);
            line.raw = line.text;
            start = bytes.size();
        } else {
            std::size_t textEnd = end;
            if (textEnd > start && bytes[textEnd - 1] == '\r') {
                --textEnd;
            }
            line.text = bytes.substr(start, textEnd - start);
            line.raw = bytes.substr(start, end + 1 - start);
            line.hasLineEnd = true;
            start = end + 1;
        }
        lines.push_back(line);
    }
    return lines;
}

bool IsBlankLine(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

bool FieldReader::Next(std::string_view& field) {
    const std::size_t begin = rest_.find_first_not_of(separator_);
    if (begin == std::string_view::npos) {
        rest_ = {};
        return false;
    }
    const std::size_t end = rest_.find(separator_, begin);
    if (end == std::string_view::npos) {
        field = rest_.substr(begin);
        rest_ = {};
    } else {
        field = rest_.substr(begin, end - begin);
        rest_ = rest_.substr(end);
    }
    return true;
}

}  // namespace miradel
