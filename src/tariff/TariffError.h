#pragma once
// The failures of the tariff engine and of the holiday calendar: the failure code, the short
// text the office shows, and a detail line for the tariff administrator.

#include <cstdint>
#include <string>
#include <string_view>

namespace miradel {

enum TariffFailure : int32_t {
    kTariffOk = 0,
    kFailPrefixFile = 1,     // prefix.dat cannot be opened or is malformed
    kFailCodeFile = 2,       // a code file kz_N.dat cannot be opened or is malformed
    kFailTariffFile = 3,     // a tariff file zt_N.dat cannot be opened or is malformed
    kFailZoneFileRange = 4,  // a lookup met a zone-file number outside 0..99 (no text)
    kFailTariffPair = 5,     // the two lines of a tariff record carry different zones
    kFailOpenYear = 6,       // year.dat cannot be opened (or written)
    kFailReadYear = 7,       // year.dat has too few or malformed lines (or a write failed)
};

struct TariffError {
    int32_t code = kTariffOk;
    std::string text;    // the office's own words, e.g. "Error load Prefix"
    std::string detail;  // e.g. "prefix.dat, line 17: zone-file number 120 is outside 0..99"
};

// "Error load Prefix" for 1 ... "Error READYEAR" for 7; empty for 0 and 4.
std::string_view FailureText(int32_t code);

inline TariffError MakeTariffError(int32_t code, std::string detail) {
    return TariffError{code, std::string(FailureText(code)), std::move(detail)};
}

}  // namespace miradel
