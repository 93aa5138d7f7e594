#pragma once
// The print queue of the fiscal register, shared by the producers (engine and window threads)
// and the one fiscal worker.
//
// Producers push whole documents under the queue's lock, so a worker never sees half of one.
// The worker takes records only through ReportAndTake, the one call that reports the register
// state to the status line and pops the next record; ReportStatus is the report-only form.
// The status line and the operator log are called outside the queue's lock, so a producer is
// never held up by them, and they are called on the worker's thread: the window side of
// ProgramStatusSink must hand the text over to its own thread without waiting.

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "common/OperatorLogSink.h"
#include "common/ProgramStatus.h"
#include "printing/DataCheck.h"

namespace miradel {

inline constexpr const char* kFiscalErrorPrefix = "Ошибка ККМ - ";
inline constexpr const char* kStateNormal = "Состояние программы - Норма";
inline constexpr const char* kStateAutonomousFiscal = "Состояние программы - Автоном!!!";
inline constexpr int kLogEventError = 3;

class PrintQueue {
  public:
    struct Dependencies {
        ProgramStatusSink& status;
        OperatorLogSink& operatorLog;
        // The main window's autonomous mark; may be empty (never autonomous).
        std::function<bool()> autonomous;
    };

    explicit PrintQueue(Dependencies deps);
    PrintQueue(const PrintQueue&) = delete;
    PrintQueue& operator=(const PrintQueue&) = delete;

    // Producers: one document, appended in one go.
    void Push(CheckQueue document);
    void Push(std::unique_ptr<DataCheck> record);

    // Worker, report-and-take: shows "Ошибка ККМ - N" and logs event 3 on every call while
    // lastResult is an error, or clears a shown error; then pops the next record (null when
    // the queue is empty).
    std::unique_ptr<DataCheck> ReportAndTake(int lastResult);
    // Worker, report-only: shows an error only when none is shown yet, logs nothing.
    // holdsRecord: the worker still holds a record it has not finished.
    void ReportStatus(int lastResult, bool holdsRecord);

    // Worker, at its end: records taken but not finished go back before everything else.
    void GiveBack(CheckQueue records);

    bool Empty() const;
    std::size_t Size() const;
    bool ErrorShown() const;
    // Drops every queued record (the office at exit, tests).
    void Clear();

  private:
    void Report(int lastResult, bool holdsRecord, bool take);

    Dependencies deps_;
    mutable std::mutex queueMutex_;
    CheckQueue queue_;
    mutable std::mutex statusMutex_;  // serialises reports; producers never take it
    bool errorShown_ = false;
};

}  // namespace miradel
