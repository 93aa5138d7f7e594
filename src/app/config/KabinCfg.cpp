#include "app/config/KabinCfg.h"

#include <algorithm>

#include "common/LittleEndian.h"

namespace miradel {

BoothSlotRecord BoothSlotRecord::Decode(const uint8_t* bytes) {
    BoothSlotRecord r;
    r.state = ReadI16(bytes);
    r.boothNumber = ReadI16(bytes + 2);
    r.kind = ReadI16(bytes + 4);
    r.advance = ReadI32(bytes + 8);
    return r;
}

void BoothSlotRecord::Encode(uint8_t* bytes) const {
    WriteI16(bytes, state);
    WriteI16(bytes + 2, boothNumber);
    WriteI16(bytes + 4, kind);
    bytes[6] = 0;
    bytes[7] = 0;
    WriteI32(bytes + 8, advance);
}

KabinData KabinData::FromBytes(const Bytes& bytes) {
    KabinData d;
    for (int i = 0; i < kBoothCount; ++i) {
        d.records_[i] = BoothSlotRecord::Decode(&bytes[i * BoothSlotRecord::kSize]);
    }
    return d;
}

KabinData::Bytes KabinData::ToBytes() const {
    Bytes bytes{};
    for (int i = 0; i < kBoothCount; ++i) {
        records_[i].Encode(&bytes[i * BoothSlotRecord::kSize]);
    }
    return bytes;
}

}  // namespace miradel
