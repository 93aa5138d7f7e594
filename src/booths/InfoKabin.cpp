#include "booths/InfoKabin.h"

#include <algorithm>
#include <cstring>

namespace miradel {

std::string_view InfoKabin::Digits() const {
    return std::string_view(digits.data(), strnlen(digits.data(), digits.size()));
}

void InfoKabin::SetDigits(std::string_view dialled) {
    digits.fill('\0');
    std::copy_n(dialled.begin(), std::min(dialled.size(), digits.size() - 1), digits.begin());
}

}  // namespace miradel
