#pragma once
// The lookups as plain walks of the lists in file order, without any index. They define what
// the engine's indexed lookups must answer; the tests and the benchmark hold the two side by
// side.

#include <cstdint>
#include <string_view>

#include "common/Clock.h"
#include "tariff/TariffEntries.h"
#include "tariff/Trftor.h"

namespace miradel {

// A text of the prefix table or of a code file matches when it begins with '*' or when the
// subject begins with it.
bool LeadingTextMatches(std::string_view text, std::string_view subject);

const Prefx* LinearFindPrefix(const KodZona& engine, std::string_view digits);
const KZona* LinearFindCode(const KodZona& engine, std::string_view digits);
const ZonaTarif* LinearFindTariff(const TRFTOR& engine, int32_t zoneFile, int32_t zone);
int32_t LinearTariffNow(const TRFTOR& engine, const Clock& clock, std::string_view digits);
int32_t LinearTariffAtHour(const TRFTOR& engine, const Clock& clock, std::string_view digits,
                           int hour);

}  // namespace miradel
