#include "printing/M114F.h"

#include <cmath>
#include <limits>
#include <utility>

#include "common/Cp1251.h"
#include "printing/FiscalDriverAbi.h"
#include "printing/FiscalProtocolTexts.h"

namespace miradel {

namespace {

constexpr int32_t kBaudRate = 9600;
constexpr int32_t kHeaderColumn = 31;
constexpr int32_t kFeedLinesForCut = 6;
constexpr int32_t kCutterCanCut = 2;

// The whole part of a producer's number, kept inside int32 whatever the float holds.
int32_t WholePart(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double whole = std::trunc(static_cast<double>(value));
    if (whole > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (whole < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(whole);
}

// Currency units to the component's fixed-point currency.
int64_t Currency(float units) {
    if (!std::isfinite(units) || std::fabs(units) > 1e12f) {
        return 0;
    }
    return std::llround(static_cast<double>(units) * MIRADEL_M114_CURRENCY_SCALE);
}

std::string LineOf(const std::string& utf8) {
    return Utf8ToCp1251(utf8) + "\r\n";
}

}  // namespace

M114F::M114F(FiscalWorkerContext context, std::unique_ptr<M114Component> component,
             OperatorPrompt& prompt, int comPortSetting, const std::string& passwordUtf8)
    : context_(context), component_(std::move(component)), prompt_(prompt) {
    try {
        if (!component_) {
            throw M114Error(0, 0);
        }
        component_->SetListener(this);
        component_->SetPortNum(comPortSetting + 1);
        component_->SetBaudRate(kBaudRate);
        component_->SetPassword(Utf8ToCp1251(passwordUtf8));
        component_->Open();
    } catch (const M114Error&) {
        context_.flags.linkFailed = true;
        component_.reset();
        throw FiscalStartError(kPortOpenFailed);
    }
}

M114F::~M114F() = default;

int64_t M114F::Step() {
    if (!executeNext_) {
        current_ = context_.queue.ReportAndTake(lastResult_);
        executeNext_ = true;
        return kTakePauseMs;
    }
    executeNext_ = false;
    if (context_.flags.cancelRequested.exchange(false)) {
        if (IsError()) {
            if (!nonFiscalOpen_) {
                CancelDocument();
            }
            ClearResult();
        }
        current_.reset();  // dropped unsent
    } else if (current_) {
        try {
            Execute(*current_);
        } catch (const M114Error& error) {
            Failed(error, *current_);
        }
    }
    current_.reset();
    return IsError() ? kFailurePauseMs : kCommandPauseMs;
}

void M114F::Execute(const DataCheck& record) {
    M114Component& c = *component_;
    switch (record.command) {
        case kCheckOpenFiscal:
            OpenSale();
            break;
        case kCheckSale:
            c.AddCustom(Utf8ToCp1251(record.text), line_, 0);
            ++line_;
            c.AddItem(MIRADEL_M114_ITEM_GOODS, Currency(record.price), WholePart(record.amount),
                      record.argument, WholePart(record.quantity), line_);
            ++line_;
            break;
        case kCheckClose:
            c.AddTotal(line_, 0);
            ++line_;
            c.AddPay(MIRADEL_M114_PAY_CASH, Currency(record.amount), line_, 0);
            ++line_;
            c.AddChange(line_, 0);
            ++line_;
            if (c.Model() == MIRADEL_M114_MODEL_114_1FMD) {
                c.AddRegNumber(line_, 0);
            }
            c.CloseFiscalDoc();
            break;
        case kCheckOpenNonFiscal:
            nonFiscalOpen_ = true;
            c.PrintNonFiscal(LineOf(record.text), MIRADEL_M114_NONFISCAL_FIRST);
            break;
        case kCheckText:
            c.PrintNonFiscal(LineOf(record.text), 0);
            break;
        case kCheckCloseNonFiscal:
            c.PrintNonFiscal(LineOf(record.text), MIRADEL_M114_NONFISCAL_LAST);
            nonFiscalOpen_ = false;
            break;
        case kCheckCancel:
            c.CancelFiscalDoc();
            break;
        case kCheckFeedAndCut:
            if (c.Cutter() >= kCutterCanCut) {
                c.FeedAndCut(kFeedLinesForCut);
            }
            break;
        case kCheckOpenDay:
            c.OpenDay(record.argument);
            if (context_.flags.protocolOn) {
                WriteRow(&record, kM114DayOpened, M114ProtocolText(kM114DayOpened));
            }
            break;
        case kCheckXReport:
            c.XReport();
            break;
        case kCheckZReport:
            c.ZReport();
            break;
        case kCheckDrawer:
            c.ExternalPulse(1, 2, 2, 2);
            break;
        case kCheckSetClock:
            c.SynchronizeEcrDateTime(context_.clock.Now());
            break;
        case kCheckCopyLast:
            if (c.CheckEcrStatus() & MIRADEL_M114_STATUS_LAST_DOC) {
                c.CopyFiscalDoc();
            } else {
                prompt_.Ask(
                    {kNoLastCheck, kNoLastCheckCaption, PromptButtons::Ok, PromptIcon::Warning});
            }
            break;
        case kCheckEndOfDocument:
            if (record.feedAndCut && c.Cutter() >= kCutterCanCut) {
                c.FeedAndCut(record.argument);
            }
            ClearResult();
            // Whatever happened to its lines, a document ends here; a non-fiscal one left
            // marked open would stop every later failure from cancelling its check.
            nonFiscalOpen_ = false;
            if (context_.flags.protocolOn) {
                WriteRow(&record, 0, M114ProtocolText(0));
            }
            return;
        default:
            return;  // not a command of this register: discarded
    }
    ClearResult();
}

void M114F::OpenSale() {
    M114Component& c = *component_;
    c.OpenFiscalDoc(MIRADEL_M114_DOC_SALE);
    line_ = 0;
    for (int32_t header = 1; header <= 4; ++header) {
        c.AddHeaderLine(header, header - 1, 0);
    }
    c.AddSerialNumber(4, 0);
    c.AddDocNumber(4, kHeaderColumn);
    c.AddTaxPayerNumber(5, 0);
    c.AddDateTime(6, 0);
    c.AddReceiptNumber(6, kHeaderColumn);
    c.AddOperInfo(MIRADEL_M114_OPER_NUMBER | MIRADEL_M114_OPER_NAME, 7, 0);
    line_ = 8;
}

void M114F::Failed(const M114Error& error, const DataCheck& record) {
    lastResult_ = error.code();
    extended_ = error.extended();
    if (context_.flags.protocolOn) {
        WriteRow(&record, lastResult_, M114ComponentErrorText(lastResult_),
                 static_cast<int16_t>(extended_));
    }
    context_.queue.ReportStatus(lastResult_, true);
    if (!nonFiscalOpen_) {
        CancelDocument();
    }
}

void M114F::CancelDocument() {
    try {
        component_->CancelFiscalDoc();
    } catch (const M114Error&) {
        // Nothing open, or the register is gone: the error already shown stands.
    }
}

void M114F::ClearResult() {
    lastResult_ = 0;
    extended_ = 0;
}

void M114F::WriteRow(const DataCheck* record, int code, const std::string& text,
                     std::optional<int16_t> extended) {
    FiscalProtocolRow row;
    if (record) {
        row.ticket = record->receiptNumber;
    }
    row.flag = static_cast<int16_t>(code);
    row.desr = text;
    row.when = context_.clock.Now();
    row.exflag = extended.value_or(0);
    context_.protocol.Append(row);
}

void M114F::OnPrinterError(int32_t, int32_t) {
    questionShowing_ = true;
    const PromptAnswer answer =
        prompt_.Ask({kRetryQuestion, kRetryCaption, PromptButtons::OkCancel, PromptIcon::Error});
    questionShowing_ = false;
    if (answer == PromptAnswer::Ok) {
        component_->SetRetryOperation(true);
    }
}

int32_t M114F::OnStatusUpdate(int32_t status) {
    if (!current_) {
        return status;
    }
    if (current_->command == kCheckOpenDay && status > 0) {
        if (context_.flags.protocolOn) {
            WriteRow(current_.get(), kM114DayWasOpen, M114ProtocolText(kM114DayWasOpen));
        }
        return status;
    }
    if (status < 0 && current_->command == kCheckZReport) {
        if (context_.flags.protocolOn) {
            WriteRow(current_.get(), kM114DayClosed, M114ProtocolText(kM114DayClosed));
        }
        return 0;
    }
    return status;
}

void M114F::Finish() {
    if (current_) {
        CheckQueue back;
        back.Push(std::move(current_));
        context_.queue.GiveBack(std::move(back));
    }
    component_.reset();
}

}  // namespace miradel
