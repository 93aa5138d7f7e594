#pragma once
// Finds the first record of a tariff list with a given zone, as the walk in file order would.

#include <cstdint>
#include <utility>
#include <vector>

namespace miradel {

class ZoneIndex {
  public:
    static constexpr int32_t kNone = -1;

    // Zones in list order; the first gets position 0. Call Seal once all are added.
    void Add(int32_t zone);
    void Seal();
    void Clear();

    // Position of the first record with this zone, or kNone. Allocates nothing.
    int32_t Find(int32_t zone) const;

  private:
    std::vector<std::pair<int32_t, int32_t>> zones_;  // (zone, position), sorted after Seal
    int32_t count_ = 0;
};

}  // namespace miradel
