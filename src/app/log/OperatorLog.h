#pragma once
// hdop.log, the operator log: one entry per numbered event, appended in Windows-1251.
//
// An entry: 30 '=' and a line feed; the date ("05.03.2009"); the time ("09:05:07"); for every
// event but 0 "Оператор - " and the operator on duty; then the event's lines. Each entry is
// written whole with the file opened for appending and closed again; one lock around each
// entry keeps entries from the engine thread and the window thread from interleaving. A write
// that fails half-way is cut back, so the file never holds a torn entry.
//
// Values (OperatorLogSink::LogEvent): the texts the event's further lines carry, in order:
//   3         the state indicator's text
//   4         receipt number, collected amount, remaining amount ("12.05")
//   7..12     the date typed in the purge window;  26..31 likewise (pack)
//   20, 33    the receipt number
//   34        the last-error code and text (see WriteWithRetry)
//   5, 6, 13, 16, 19, 21 (range lines): two values are a receipt range (first, last) and
//             give "По номерам квитанций:"; four values are a date-and-time range (start
//             date, start time, end date, end time) and give "По дате и времени:". Use
//             ReceiptRangeValues / DateTimeRangeValues to build them. Texts as typed.
// Values missing for an event are written as empty texts; extra values are ignored.

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"

namespace miradel {

inline constexpr const char* kOperatorLogName = "hdop.log";
inline constexpr const char* kOperatorLogOpenFailed = "Невозможно открыть файл hdop.log!";
inline constexpr const char* kOperatorLogOpenCaption = "Error Open";

std::vector<std::string> ReceiptRangeValues(std::string first, std::string last);
std::vector<std::string> DateTimeRangeValues(std::string startDate, std::string startTime,
                                             std::string endDate, std::string endTime);

// The UTF-8 text of one entry, before encoding.
std::string OperatorLogEntry(int event, const std::vector<std::string>& values,
                             const LocalDateTime& now, int operatorOnDuty);

class OperatorLog final : public OperatorLogSink {
  public:
    // `operatorOnDuty` reads the number stored in app.cfg at the moment of writing.
    OperatorLog(std::filesystem::path file, const Clock& clock, std::function<int()> operatorOnDuty,
                OperatorPrompt& prompt);

    void LogEvent(int event, std::vector<std::string> values = {}) override;

    // True when the entry was written. Otherwise the operator is told "Невозможно открыть
    // файл hdop.log!" (after the lock is released) and false is returned; nothing is retried.
    bool Write(int event, const std::vector<std::string>& values = {});

    const std::filesystem::path& File() const { return file_; }

  private:
    std::filesystem::path file_;
    const Clock& clock_;
    std::function<int()> operatorOnDuty_;
    OperatorPrompt& prompt_;
    std::mutex mutex_;
};

}  // namespace miradel
