#include "app/StoreAdapters.h"

namespace miradel {

bool StoreCallRecords::WriteCallRecord(const BilledCall& billed) {
    FinishedCall call;
    call.boothNumber = billed.call.boothNumber;
    call.dialled = std::string(billed.call.Digits());
    call.durationSeconds = billed.call.duration;
    call.charge = billed.call.charge;
    call.start.year = billed.call.year;
    call.start.month = billed.call.month;
    call.start.day = billed.call.day;
    call.start.hour = billed.call.hour;
    call.start.minute = billed.call.minute;
    call.start.second = billed.call.second;
    call.start.hundredths = billed.call.hundredths;
    return WriteWithRetry(retry_, kStatusErrorInfo, [&] {
        return dm_.WriteCallRecord(call, billed.receiptNumber, billed.operatorNo,
                                   billed.advanceTaken, billed.advanceLeft, billed.call.tariff);
    });
}

}  // namespace miradel
