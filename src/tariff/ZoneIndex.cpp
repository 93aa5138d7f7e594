#include "tariff/ZoneIndex.h"

#include <algorithm>

namespace miradel {

void ZoneIndex::Add(int32_t zone) {
    zones_.emplace_back(zone, count_++);
}

void ZoneIndex::Seal() {
    // Sorting by (zone, position) puts each zone's earliest record first; drop the others.
    std::sort(zones_.begin(), zones_.end());
    zones_.erase(std::unique(zones_.begin(), zones_.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 zones_.end());
}

void ZoneIndex::Clear() {
    zones_.clear();
    count_ = 0;
}

int32_t ZoneIndex::Find(int32_t zone) const {
    const auto it = std::lower_bound(zones_.begin(), zones_.end(), zone,
                                     [](const auto& entry, int32_t z) { return entry.first < z; });
    return it != zones_.end() && it->first == zone ? it->second : kNone;
}

}  // namespace miradel
