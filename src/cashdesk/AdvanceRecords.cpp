#include "cashdesk/AdvanceRecords.h"

#include <fmt/format.h>

#include "cashdesk/AdvanceDialogModel.h"
#include "common/DateText.h"
#include "common/Money.h"

namespace miradel {

int32_t AdvanceLogFlag(int result, const BoothSnapshot& b) {
    if (result == kAdvanceUnclaimed && b.advanceLeft != 0) {
        return 2;
    }
    if (b.calls == 0) {
        return 0;
    }
    return b.advanceLeft == 0 ? 3 : 1;
}

std::optional<AdvanceLogRecord> MakeAdvanceLogRecord(int result, const BoothSnapshot& b,
                                                     int32_t operatorNumber,
                                                     const LocalDateTime& now) {
    if (result >= 0) {
        return std::nullopt;
    }
    return AdvanceLogRecord{
        operatorNumber, b.receiptNumber, MoneyFieldText(b.advanceTaken), AdvanceLogFlag(result, b),
        DateText(now),  TimeText(now)};
}

UnclaimedRecord MakeUnclaimedRecord(const BoothSnapshot& b, int32_t operatorNumber,
                                    const LocalDateTime& now) {
    UnclaimedRecord r;
    r.date = DateText(now);
    r.time = TimeText(now);
    r.ticket = fmt::format("{}", b.receiptNumber);
    r.rest = MoneyFieldText(b.advanceLeft);
    r.advance = MoneyFieldText(b.advanceTaken);
    r.boothNumber = b.boothNumber;
    r.operatorNumber = operatorNumber;
    return r;
}

PromptRequest AdvanceLogRetryQuestion() {
    return {"Ошибка записи в базу данных!\nНеправильный статус таблицы!\nПовторить или отменить?",
            "Критическая ошибка!", PromptButtons::YesNo, PromptIcon::Question};
}

}  // namespace miradel
