#include "HexInput.h"

#include <charconv>
#include <sstream>

namespace miradel::frames {

namespace {

std::optional<uint8_t> ParseByte(std::string_view token, int base, std::string& reason) {
    std::string_view digits = token;
    if (base == 16 && digits.size() > 2 && digits[0] == '0' &&
        (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
    }
    unsigned value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || end != digits.data() + digits.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        reason = base == 16 ? "is not a hex byte" : "is not a decimal number";
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range || value > 0xFF) {
        reason = base == 16 ? "is out of range 00..FF" : "is out of range 0..255";
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

}  // namespace

std::optional<InputError> ReadHexBytes(std::istream& in,
                                       const std::function<void(uint8_t)>& onByte) {
    std::string line;
    std::size_t lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (const std::size_t comment = line.find('#'); comment != std::string::npos) {
            line.erase(comment);
        }
        std::istringstream tokens(line);
        std::string token;
        while (tokens >> token) {
            std::string reason;
            const std::optional<uint8_t> byte = ParseByte(token, 16, reason);
            if (!byte) {
                return InputError{lineNumber, token, reason};
            }
            onByte(*byte);
        }
    }
    return std::nullopt;
}

DecimalBytes ParseDecimalBytes(std::string_view text) {
    DecimalBytes result;
    std::istringstream tokens{std::string(text)};
    std::string token;
    while (tokens >> token) {
        std::string reason;
        const std::optional<uint8_t> byte = ParseByte(token, 10, reason);
        if (!byte) {
            result.error = InputError{0, token, reason};
            return result;
        }
        result.bytes.push_back(*byte);
    }
    return result;
}

}  // namespace miradel::frames
