#include "common/Money.h"

#include <fmt/format.h>

#include <cstdlib>

namespace miradel {

namespace {

// All three forms agree for amounts of zero and above. Below zero the sign is written once
// in front instead of printing a negative remainder ("-1.05", never "-1.-5").
std::string UnitsAndHundredths(Money amount) {
    const int64_t value = amount;
    const int64_t magnitude = value < 0 ? -value : value;
    return fmt::format("{}{}.{:02}", value < 0 ? "-" : "", magnitude / 100, magnitude % 100);
}

}  // namespace

std::string MoneyPanelText(Money amount) { return UnitsAndHundredths(amount); }
std::string MoneyFieldText(Money amount) { return UnitsAndHundredths(amount); }
std::string MoneyReceiptText(Money amount) { return UnitsAndHundredths(amount); }

std::string TalkTimeText(int32_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    return fmt::format("{:02} : {:02}", seconds / 60, seconds % 60);
}

}  // namespace miradel
