#include "booths/CallRecordRow.h"

#include <fmt/format.h>

#include "common/Money.h"

namespace miradel {

CallRecordRow MakeCallRecordRow(const InfoKabin& call, int receiptNumber, int operatorNo,
                                int32_t advanceTaken, int32_t advanceLeft) {
    CallRecordRow row;
    row.number = call.boothNumber;
    row.operatorNo = operatorNo;
    row.dialUp = std::string(call.Digits());
    row.ticket = receiptNumber;
    const int32_t seconds = call.duration < 0 ? 0 : call.duration;
    row.duration = fmt::format("{:02}:{:02}", seconds / 60, seconds % 60);
    row.tarif = MoneyFieldText(call.tariff);
    row.summa = MoneyFieldText(call.charge);
    row.avans = advanceTaken;
    row.rest = MoneyFieldText(advanceLeft);
    row.date = fmt::format("{}.{}.{}", call.day, call.month, call.year);
    row.time = fmt::format("{}:{}:{}", call.hour, call.minute, call.second);
    return row;
}

}  // namespace miradel
