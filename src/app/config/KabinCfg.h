#pragma once
// kabin.cfg: 16 records of 12 bytes, record i for panel position i (booth state, physical
// number, kind and the advance the booth still holds).

#include <array>
#include <cstdint>

#include "app/config/SharedImage.h"

namespace miradel {

inline constexpr int kBoothCount = 16;

struct BoothSlotRecord {
    static constexpr std::size_t kSize = 12;

    int16_t state = 0;
    int16_t boothNumber = 0;  // physical number on the controller, as the operator gave it
    int16_t kind = 0;
    int32_t advance = 0;  // hundredths

    static BoothSlotRecord Decode(const uint8_t* bytes);
    void Encode(uint8_t* bytes) const;  // the reserved bytes 6..7 are written as 0

    friend bool operator==(const BoothSlotRecord&, const BoothSlotRecord&) = default;
};

class KabinData {
  public:
    static constexpr std::size_t kSize = kBoothCount * BoothSlotRecord::kSize;  // 192
    using Bytes = std::array<uint8_t, kSize>;

    static KabinData FromBytes(const Bytes& bytes);
    Bytes ToBytes() const;

    const BoothSlotRecord& Record(int panel) const { return records_.at(panel); }
    BoothSlotRecord& Record(int panel) { return records_.at(panel); }

  private:
    std::array<BoothSlotRecord, kBoothCount> records_{};
};

using KabinImage = SharedImage<KabinData>;

}  // namespace miradel
