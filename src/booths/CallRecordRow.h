#pragma once
// The call table row of one billed call, in the table's text forms.

#include "booths/BoothServices.h"
#include "booths/InfoKabin.h"

namespace miradel {

CallRecordRow MakeCallRecordRow(const InfoKabin& call, int receiptNumber, int operatorNo,
                                int32_t advanceTaken, int32_t advanceLeft);

}  // namespace miradel
