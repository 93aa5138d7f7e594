#include "app/config/KassaDat.h"

#include "common/LittleEndian.h"

namespace miradel {

KassaData KassaData::FromBytes(const Bytes& bytes) {
    KassaData d;
    for (int i = 0; i < 8; ++i) {
        d.counters_[i] = ReadI32(&bytes[i * 4]);
    }
    return d;
}

KassaData::Bytes KassaData::ToBytes() const {
    Bytes bytes{};
    for (int i = 0; i < 8; ++i) {
        WriteI32(&bytes[i * 4], counters_[i]);
    }
    return bytes;
}

}  // namespace miradel
