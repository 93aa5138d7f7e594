#pragma once
// The process-wide flags of the fiscal pipeline. Single words written by one side and read by
// the other, so plain atomics are enough.

#include <atomic>

namespace miradel {

struct FiscalFlags {
    // A worker was started: other parts count the fiscal register as online.
    std::atomic<bool> workerRunning{false};
    // A worker could not reach its register; stays set until the program ends. The main tick
    // puts the office into autonomous mode and the controller link sends nothing meanwhile.
    std::atomic<bool> linkFailed{false};
    // "Отменить транзакцию": taken back by the 114.1Ф worker on its next pass.
    std::atomic<bool> cancelRequested{false};
    // Copy of "Протокол ККМ".
    std::atomic<bool> protocolOn{false};
};

}  // namespace miradel
