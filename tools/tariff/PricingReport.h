#pragma once
// What miradel-tariff prints for one number: each step of the analysis as the engine takes
// it, the day type and the price, or the step at which the number cannot be priced.

#include <string>
#include <string_view>

#include "common/Clock.h"
#include "tariff/Trftor.h"

namespace miradel::tariff_tool {

struct PricingReport {
    std::string text;  // UTF-8, one line per step
    bool priced = false;
};

// Prices the digits with the engine at the clock's time.
PricingReport DescribePricing(const TRFTOR& engine, const Clock& clock, std::string_view digits);

// "YYYY-MM-DD HH:MM"; false for anything else or an impossible date.
bool ParseMoment(std::string_view text, LocalDateTime& out);

}  // namespace miradel::tariff_tool
