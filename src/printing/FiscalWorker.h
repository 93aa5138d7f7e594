#pragma once
// A fiscal worker's loop as a state machine: each Step is one wake of the loop and says how
// long to wait before the next. FiscalWorkerRunner steps it on a scheduler, so the waits go
// through the project's clock: the office gives each worker a thread of its own, tests a
// virtual scheduler.

#include <cstdint>
#include <stdexcept>

#include "common/Clock.h"
#include "printing/FiscalFlags.h"
#include "printing/FiscalProtocolLog.h"
#include "printing/PrintQueue.h"

namespace miradel {

inline constexpr const char* kPortOpenFailed = "Ошибка открытия порта сеанса связи с ККМ!";
inline constexpr const char* kNoSerialNumber = "Неверный номер порта ККМ или выключена ККМ!";

// The waits of both workers' loops, in milliseconds.
inline constexpr int64_t kTakePauseMs = 10;
inline constexpr int64_t kCommandPauseMs = 50;
inline constexpr int64_t kFailurePauseMs = 1500;

// A worker could not reach its register; what() is the text the main window shows.
class FiscalStartError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What both workers reach.
struct FiscalWorkerContext {
    PrintQueue& queue;
    FiscalFlags& flags;
    FiscalProtocolLog& protocol;
    const Clock& clock;
};

class FiscalWorker {
  public:
    virtual ~FiscalWorker() = default;
    // One wake of the loop; returns the milliseconds to wait before the next one.
    virtual int64_t Step() = 0;
    // The worker's end, on its own thread, between two steps: closes the register session and
    // gives records it took but did not finish back to the print queue.
    virtual void Finish() = 0;
};

}  // namespace miradel
