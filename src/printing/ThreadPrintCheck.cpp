#include "printing/ThreadPrintCheck.h"

#include <utility>

#include "printing/DosCyrillic.h"
#include "printing/FiscalProtocolTexts.h"

namespace miradel {

namespace {

CheckQueue CopyOfAll(const CheckQueue& records) {
    CheckQueue copy;
    records.ForEach([&](const DataCheck& record) { copy.Push(CopyOf(record)); });
    return copy;
}

bool SentToRegister(int16_t command) {
    return command == kCheckText || command == kCheckSale || command == kCheckClose ||
           command == kCheckCancel;
}

}  // namespace

PrintCheck::PrintCheck(FiscalWorkerContext context, std::unique_ptr<M130Driver> driver,
                       int comPortSetting)
    : context_(context), driver_(std::move(driver)) {
    if (!driver_ || !driver_->Open(comPortSetting + 1)) {
        context_.flags.linkFailed = true;
        throw FiscalStartError(kPortOpenFailed);
    }
    const M130Driver::Answer serial = driver_->SerialNumber();
    lastResult_ = serial.code;
    if (serial.text.empty()) {
        // The connection is of no use; leaving it open would hold the port.
        driver_->Close();
        context_.flags.linkFailed = true;
        throw FiscalStartError(kNoSerialNumber);
    }
    connectionOpen_ = true;
}

PrintCheck::~PrintCheck() {
    if (driver_) {
        driver_->Close();
    }
}

int64_t PrintCheck::Step() {
    if (executeNext_ && current_) {
        executeNext_ = false;
        return Execute();
    }
    Take();
    executeNext_ = true;
    return kTakePauseMs;
}

void PrintCheck::Take() {
    if (current_) {
        return;  // a record the register refused is sent again
    }
    if (replay_) {
        current_ = replayQueue_.Pop();
        if (!current_) {
            replay_ = false;
        }
        return;
    }
    current_ = context_.queue.ReportAndTake(lastResult_);
}

int64_t PrintCheck::Execute() {
    const int16_t command = current_->command;
    if (SentToRegister(command)) {
        return Send();
    }
    if (command == kCheckEndOfDocument) {
        journal_.Clear();
    }
    current_.reset();  // the end of document is done; other types are not for this register
    return Pause();
}

int64_t PrintCheck::Send() {
    const int16_t command = current_->command;
    const int32_t ticket = current_->receiptNumber;
    if (!error_ && !replay_) {
        journal_.Push(CopyOf(*current_));
    }
    int32_t code = Call(*current_);
    if (code != 0 && command == kCheckClose) {
        code = kM130CloseFailed;  // whatever the driver said
    }
    lastResult_ = code;
    if (code != 0) {
        if (!error_) {
            if (command != kCheckClose && context_.flags.protocolOn) {
                WriteRow(ticket, code);
            }
            error_ = true;
            replay_ = true;
            // From the first record of the document, even when a replay failed part way:
            // the register dropped the check it had open.
            replayQueue_ = CopyOfAll(journal_);
            current_ = replayQueue_.Pop();
            context_.queue.ReportStatus(lastResult_, true);
        }
    } else {
        error_ = false;
    }
    if ((command == kCheckClose || command == kCheckCancel) && context_.flags.protocolOn) {
        WriteRow(ticket, lastResult_);
    }
    if (lastResult_ == 0) {
        current_.reset();
    }
    return Pause();
}

int32_t PrintCheck::Call(const DataCheck& record) {
    switch (record.command) {
        case kCheckText:
            return driver_->PrintText(M130Text(record.text));
        case kCheckSale:
            return driver_->SaleLine(M130Text(record.text), record.price, record.quantity,
                                     record.amount, static_cast<uint8_t>(record.argument));
        case kCheckClose:
            return driver_->CloseCheck(record.amount);
        default:
            return driver_->CancelCheck();
    }
}

void PrintCheck::WriteRow(int32_t ticket, int code) {
    FiscalProtocolRow row;
    row.ticket = ticket;
    row.flag = static_cast<int16_t>(code);
    row.desr = M130ProtocolText(code);
    row.when = context_.clock.Now();
    context_.protocol.Append(row);
}

void PrintCheck::Finish() {
    // A document the register has not taken goes back whole, from its first record; in
    // normal mode only a record taken and not yet sent is outstanding.
    CheckQueue back;
    if (replay_) {
        back = CopyOfAll(journal_);
    } else if (current_) {
        back.Push(std::move(current_));
    }
    current_.reset();
    replayQueue_.Clear();
    journal_.Clear();
    replay_ = error_ = false;
    context_.queue.GiveBack(std::move(back));
    if (driver_) {
        driver_->Close();
    }
    connectionOpen_ = false;
}

}  // namespace miradel
