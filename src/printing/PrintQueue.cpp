#include "printing/PrintQueue.h"

#include <string>
#include <utility>

namespace miradel {

PrintQueue::PrintQueue(Dependencies deps) : deps_(std::move(deps)) {}

void PrintQueue::Push(CheckQueue document) {
    std::lock_guard lock(queueMutex_);
    queue_.Append(std::move(document));
}

void PrintQueue::Push(std::unique_ptr<DataCheck> record) {
    std::lock_guard lock(queueMutex_);
    queue_.Push(std::move(record));
}

std::unique_ptr<DataCheck> PrintQueue::ReportAndTake(int lastResult) {
    Report(lastResult, false, true);
    std::lock_guard lock(queueMutex_);
    return queue_.Pop();
}

void PrintQueue::ReportStatus(int lastResult, bool holdsRecord) {
    Report(lastResult, holdsRecord, false);
}

void PrintQueue::Report(int lastResult, bool holdsRecord, bool take) {
    std::lock_guard lock(statusMutex_);
    const bool autonomous = deps_.autonomous && deps_.autonomous();
    const bool error = (lastResult != 0 && lastResult != -1) || holdsRecord;
    if (error) {
        if (take || !errorShown_) {
            const std::string text = kFiscalErrorPrefix + std::to_string(lastResult);
            deps_.status.ShowProgramState(text, StateColour::Red, autonomous);
            errorShown_ = true;
            if (take) {
                deps_.operatorLog.LogEvent(kLogEventError, {text});
            }
        }
        return;
    }
    if (!errorShown_) {
        return;
    }
    errorShown_ = false;
    if (autonomous) {
        deps_.status.ShowProgramState(kStateAutonomousFiscal, StateColour::Red, true);
        deps_.operatorLog.LogEvent(kLogEventError, {kStateAutonomousFiscal});
    } else {
        deps_.status.ShowProgramState(kStateNormal, StateColour::Black, false);
    }
}

void PrintQueue::GiveBack(CheckQueue records) {
    std::lock_guard lock(queueMutex_);
    queue_.Prepend(std::move(records));
}

bool PrintQueue::Empty() const {
    std::lock_guard lock(queueMutex_);
    return queue_.Empty();
}

std::size_t PrintQueue::Size() const {
    std::lock_guard lock(queueMutex_);
    return queue_.Size();
}

bool PrintQueue::ErrorShown() const {
    std::lock_guard lock(statusMutex_);
    return errorShown_;
}

void PrintQueue::Clear() {
    std::lock_guard lock(queueMutex_);
    queue_.Clear();
}

}  // namespace miradel
