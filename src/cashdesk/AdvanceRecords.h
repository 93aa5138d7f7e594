#pragma once
// The records a closed advance dialog leaves: the advance log row (AVANSINFO, written when
// "Протокол аванса" is on and the turn was settled) and the unclaimed-balance row (RETSUMMA,
// written by the main window for "Невостребованно").

#include <cstdint>
#include <optional>
#include <string>

#include "booths/BoothSnapshot.h"
#include "common/Clock.h"
#include "common/OperatorPrompt.h"

namespace miradel {

struct AdvanceLogRecord {
    int32_t operatorNumber = 0;  // OPERATOR
    int32_t ticket = 0;          // TICKET: the advance receipt number
    std::string summa;           // SUMMA: the deposit, "%u.%.2u"
    int32_t flag = 0;            // FLAG, see AdvanceLogFlag
    std::string date;            // _DATE
    std::string time;            // _TIME

    friend bool operator==(const AdvanceLogRecord&, const AdvanceLogRecord&) = default;
};

// 2: unclaimed with a rest; 0: a turn without calls; 3: the advance was used up; 1: settled.
int32_t AdvanceLogFlag(int result, const BoothSnapshot& booth);

// None for results that settle nothing (an advance, or 0).
std::optional<AdvanceLogRecord> MakeAdvanceLogRecord(int result, const BoothSnapshot& booth,
                                                     int32_t operatorNumber,
                                                     const LocalDateTime& now);

struct UnclaimedRecord {
    std::string date;            // _DATE
    std::string time;            // _TIME
    std::string ticket;          // ATICKET, as text
    std::string rest;            // RET_SUMMA, "%u.%.2u"
    std::string advance;         // AVANS, "%u.%.2u"
    int32_t boothNumber = 0;     // NUMBER
    int32_t operatorNumber = 0;  // OPERATOR
    int32_t flag = 0;            // FLAG: 0 unpaid

    friend bool operator==(const UnclaimedRecord&, const UnclaimedRecord&) = default;
};

// From the snapshot taken right after the dialog closed, before the booth is settled.
UnclaimedRecord MakeUnclaimedRecord(const BoothSnapshot& booth, int32_t operatorNumber,
                                    const LocalDateTime& now);

// When the advance log refuses the row: the data module's error text, operator log event 34,
// and the question whose Yes tries again.
inline constexpr const char* kAdvanceLogErrorText = "Ошибка статуса таблицы - Avans";
inline constexpr int kOperatorEventDatabaseError = 34;
PromptRequest AdvanceLogRetryQuestion();

}  // namespace miradel
