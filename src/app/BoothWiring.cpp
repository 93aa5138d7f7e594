#include "app/BoothWiring.h"

namespace miradel {

std::optional<PrefixMatch> TrftorTariffs::FindPrefix(std::string_view digits) {
    const Prefx* entry = engine_.FindPrefix(digits);
    if (!entry) {
        return std::nullopt;
    }
    return PrefixMatch{entry->zoneFile, entry->numberLength, entry->analysisLength};
}

void BoothRouter::RaiseBoothEvent(int panel, uint32_t event, int32_t argument) {
    if (panel >= 0 && panel < kBoothCount && booths_[panel]) {
        booths_[panel]->HandleEvent(event, argument);
    }
}

int BoothStates::StateOf(int panel) const {
    if (panel < 0 || panel >= kBoothCount || !booths_[panel]) {
        return 0;
    }
    return booths_[panel]->State();
}

}  // namespace miradel
