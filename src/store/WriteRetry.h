#pragma once
// The callers' retry loop around the data module's writers, shared by the booths (call
// records), the main window (fax records), the cash desk (advances, unclaimed balances) and
// the payments. A writer returns false when its table is not ready; the loop then fills the
// last-error slot, writes operator log event 34 and asks the operator whether to try again.
// Yes repeats the write, No gives up: the record is not written and the caller goes on.
//
// An engine error raised by the writer (locked database, full disk, damaged file) is handled
// by the same loop instead of ending the caller: the slot gets the engine's code and message,
// event 34 is written, and the question names the engine's message. Nothing half-written
// remains, because a record whose post failed is never left pending by the writers.

#include <functional>
#include <string>
#include <string_view>

#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "store/LastError.h"

namespace miradel {

inline constexpr int kEventDatabaseError = 34;

inline constexpr std::string_view kStatusErrorInfo = "Ошибка статуса таблицы - INFO";
inline constexpr std::string_view kStatusErrorAround = "Ошибка статуса таблицы - Around";
inline constexpr std::string_view kStatusErrorAvans = "Ошибка статуса таблицы - Avans";
inline constexpr std::string_view kStatusErrorPay = "Ошибка статуса таблицы - Pay";
// The unclaimed-balance write of the booth panel, once its silent repeats are spent.
inline constexpr std::string_view kStatusErrorReturn = "Ошибка статуса таблицы - RETSUMMA";

inline constexpr std::string_view kWriteRetryQuestion =
    "Ошибка записи в базу данных!\nНеправильный статус таблицы!\nПовторить или отменить?";
inline constexpr std::string_view kWriteRetryCaption = "Критическая ошибка!";

// The question for an engine error: the second line names what the engine reported.
std::string EngineRetryQuestion(std::string_view engineMessage);

struct WriteRetryServices {
    LastErrorSlot& lastError;
    OperatorLogSink& log;
    OperatorPrompt& prompt;
};

// Calls `writer` until it returns true (then true) or the operator answers No (then false).
bool WriteWithRetry(const WriteRetryServices& services, std::string_view tableText,
                    const std::function<bool()>& writer);

// The unclaimed-balance write of the booth panel asks nothing while the table is merely not
// ready: it repeats silently, at most `silentAttempts` times in all, and then falls back to
// the retry question above, so a table that never becomes ready cannot hold the window thread.
inline constexpr int kUnclaimedSilentAttempts = 3;
bool WriteWithSilentRepeats(const WriteRetryServices& services, std::string_view tableText,
                            const std::function<bool()>& writer,
                            int silentAttempts = kUnclaimedSilentAttempts);

}  // namespace miradel
