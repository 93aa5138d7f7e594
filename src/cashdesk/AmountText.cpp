#include "cashdesk/AmountText.h"

#include <cstdint>
#include <limits>

namespace miradel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<Money> ReadAmount(std::string_view text) {
    constexpr int64_t kLimit = std::numeric_limits<Money>::max();
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t units = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        units = units * 10 + (text[i] - '0');
        if (units * 100 > kLimit) {
            return std::nullopt;
        }
    }
    int64_t hundredths = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (int place = 0; i < text.size() && IsDigit(text[i]); ++i, ++place) {
            if (place == 0) {
                hundredths += (text[i] - '0') * 10;
            } else if (place == 1) {
                hundredths += text[i] - '0';
            }
        }
    }
    const int64_t total = units * 100 + hundredths;
    if (total > kLimit) {
        return std::nullopt;
    }
    return static_cast<Money>(negative ? -total : total);
}

}  // namespace miradel
