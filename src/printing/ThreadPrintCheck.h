#pragma once
// PrintCheck, the Меркурий 130Ф worker.
//
// Each record of types 0..3 is copied to the document journal before it is sent. When the
// register refuses a line, the worker re-sends the document from its first journalled record,
// every 1.5 s until the register takes it, then goes on with the rest of the document from the
// print queue. The end of document (8) empties the journal; other types are discarded.

#include <atomic>
#include <cstdint>
#include <memory>

#include "printing/DataCheck.h"
#include "printing/FiscalDrivers.h"
#include "printing/FiscalWorker.h"

namespace miradel {

class PrintCheck final : public FiscalWorker {
  public:
    // Opens the connection on "COM - ККМ" + 1 and reads the serial number. When the register
    // cannot be reached: raises the link failure flag and throws FiscalStartError.
    PrintCheck(FiscalWorkerContext context, std::unique_ptr<M130Driver> driver, int comPortSetting);
    ~PrintCheck() override;

    int64_t Step() override;
    void Finish() override;

    // Any thread: the exit question mentions an open connection.
    bool ConnectionOpen() const { return connectionOpen_; }

    int LastResult() const { return lastResult_; }
    bool Replaying() const { return replay_; }
    std::size_t JournalSize() const { return journal_.Size(); }

  private:
    void Take();
    int64_t Execute();
    int64_t Send();
    int32_t Call(const DataCheck& record);
    void WriteRow(int32_t ticket, int code);
    int64_t Pause() const { return lastResult_ == 0 ? kCommandPauseMs : kFailurePauseMs; }

    FiscalWorkerContext context_;
    std::unique_ptr<M130Driver> driver_;
    std::atomic<bool> connectionOpen_{false};

    std::unique_ptr<DataCheck> current_;
    CheckQueue journal_;  // the document so far, as sent
    CheckQueue replayQueue_;
    int lastResult_ = -1;
    bool error_ = false;
    bool replay_ = false;
    bool executeNext_ = false;  // the wake after a take runs the record
};

}  // namespace miradel
