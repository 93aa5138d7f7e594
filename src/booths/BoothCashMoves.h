#pragma once
// The till moves of an advance booth (kassa.dat counters 0 "Аванс АПП", 3 "АПП", 7 "Итого").

#include <cstdint>

#include "app/config/KassaDat.h"

namespace miradel {

// An advance taken at switch-on or added later: held by the booth, in the till.
void KassaAdvanceTaken(KassaImage& kassa, int32_t amount);
// A billed call: the charge moves from the held advances to the booth income.
void KassaCallBilled(KassaImage& kassa, int32_t charge);
// Settlement: what is left of the advance goes back to the client.
void KassaAdvanceReturned(KassaImage& kassa, int32_t rest);

}  // namespace miradel
