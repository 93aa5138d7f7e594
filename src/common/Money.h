#pragma once
// Money is an integer count of hundredths ("ban") everywhere; these are its display forms.

#include <cstdint>
#include <string>

namespace miradel {

using Money = int32_t;  // hundredths of the currency unit

// Booth panels: the amount divided by 100 with two decimals ("12.34").
std::string MoneyPanelText(Money amount);
// Text fields of tables: units, a point, two-digit hundredths ("12.05").
std::string MoneyFieldText(Money amount);
// Receipts and windows: units (at least one digit), a point, two-digit hundredths.
std::string MoneyReceiptText(Money amount);

// Talk time on booth panels: minutes and seconds, "%.2u : %.2u" ("03 : 07").
std::string TalkTimeText(int32_t seconds);

}  // namespace miradel
