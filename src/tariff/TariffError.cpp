#include "tariff/TariffError.h"

namespace miradel {

std::string_view FailureText(int32_t code) {
    switch (code) {
        case kFailPrefixFile:
            return "Error load Prefix";
        case kFailCodeFile:
            return "Error load KodZona";
        case kFailTariffFile:
            return "Error load ZonaTarif";
        case kFailTariffPair:
            return "Error BUILDERTARIF";
        case kFailOpenYear:
            return "Error OPENYEAR";
        case kFailReadYear:
            return "Error READYEAR";
        default:
            return {};
    }
}

}  // namespace miradel
