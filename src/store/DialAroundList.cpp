#include "store/DialAroundList.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>

namespace miradel {

namespace {

constexpr int kPieceSize = 128;  // 127 characters and the terminator

int32_t LeadingNumber(std::string_view piece) {
    std::size_t at = 0;
    while (at < piece.size() && (piece[at] == ' ' || piece[at] == '\t')) {
        ++at;
    }
    if (at < piece.size() && piece[at] == '+') {
        ++at;  // a plus sign is read like the C library reads it; a minus sign stays in
    }
    int32_t number = 0;
    const auto [ptr, error] =
        std::from_chars(piece.data() + at, piece.data() + piece.size(), number);
    if (error != std::errc() || ptr == piece.data() + at) {
        return 0;
    }
    return number;
}

}  // namespace

std::optional<std::vector<int32_t>> ReadDialAroundList(const std::filesystem::path& file) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"),
                                                       &std::fclose);
    if (!in) {
        return std::nullopt;
    }
    std::vector<int32_t> numbers;
    char piece[kPieceSize];
    while (numbers.size() < kMaxDialAroundNumbers && std::fgets(piece, kPieceSize, in.get())) {
        const std::string_view text(piece);
        if (text.empty() || text.front() == '\n' || text.substr(0, 2) == "\r\n") {
            break;
        }
        const int32_t number = LeadingNumber(text);
        if (number != 0) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

}  // namespace miradel
