#pragma once
// kassa.dat: the till's eight money counters (hundredths), 32 bytes little-endian.

#include <array>
#include <cstdint>

#include "app/config/SharedImage.h"

namespace miradel {

enum KassaCounter : int {
    kKassaBoothAdvances = 0,  // "Аванс АПП :" advances held by booths, not yet spent
    kKassaOrderAdvances = 1,  // "Аванс  ЗС :"
    kKassaFax = 2,            // "     Факс :"
    kKassaBoothCalls = 3,     // "      АПП :"
    kKassaOrders = 4,         // "       ЗС :"
    kKassaPayments = 5,       // "  Платежи :"
    kKassaRest = 6,           // "   Остаток:"
    kKassaTotal = 7,          // "    Итого :" all money in the till
};

class KassaData {
  public:
    static constexpr std::size_t kSize = 32;
    using Bytes = std::array<uint8_t, kSize>;

    static KassaData FromBytes(const Bytes& bytes);
    Bytes ToBytes() const;

    int32_t Get(int counter) const { return counters_.at(counter); }
    void Set(int counter, int32_t value) { counters_.at(counter) = value; }
    void Add(int counter, int32_t delta) {
        counters_.at(counter) = static_cast<int32_t>(int64_t{counters_.at(counter)} + delta);
    }

  private:
    std::array<int32_t, 8> counters_{};
};

using KassaImage = SharedImage<KassaData>;

}  // namespace miradel
