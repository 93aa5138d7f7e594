#include "booths/BoothCashMoves.h"

namespace miradel {

void KassaAdvanceTaken(KassaImage& kassa, int32_t amount) {
    kassa.Modify([&](KassaData& k) {
        k.Add(kKassaBoothAdvances, amount);
        k.Add(kKassaTotal, amount);
    });
}

void KassaCallBilled(KassaImage& kassa, int32_t charge) {
    kassa.Modify([&](KassaData& k) {
        k.Add(kKassaBoothAdvances, -charge);
        k.Add(kKassaBoothCalls, charge);
    });
}

void KassaAdvanceReturned(KassaImage& kassa, int32_t rest) {
    kassa.Modify([&](KassaData& k) {
        k.Add(kKassaBoothAdvances, -rest);
        k.Add(kKassaTotal, -rest);
    });
}

}  // namespace miradel
