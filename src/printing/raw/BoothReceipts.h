#pragma once
// The two booth receipts of the plain receipt printer, as the lines of one print job: the
// advance receipt (an advance taken or added) and the settlement receipt listing the calls.
// The lines come from the 26 receipt texts with the values written over them at fixed
// columns; the booth fills the data in from its own fields.

#include <cstdint>
#include <string>
#include <vector>

#include "app/config/FixedLineFile.h"
#include "common/Clock.h"
#include "common/Money.h"
#include "printing/raw/LineComposer.h"

namespace miradel {

// Value forms of the receipts.
std::string ReceiptDateText(const LocalDateTime& t);  // "09.12.2026"
std::string ReceiptTimeText(const LocalDateTime& t);  // "09:05:07"
std::string ReceiptDurationText(int32_t seconds);     // hours:minutes:seconds, "1:02:05"
std::string ReceiptMoneyText(Money amount);           // "12.05", "0.50"

struct ReceiptCall {
    std::string digits;    // the dialled number
    int32_t duration = 0;  // billed seconds
    Money charge = 0;
};

struct SettlementReceipt {
    int32_t receiptNumber = 0;   // the booth's advance receipt number
    int32_t operatorNumber = 0;  // the operator on duty (app.cfg)
    LocalDateTime printedAt;
    int32_t boothNumber = 0;
    std::vector<ReceiptCall> calls;  // oldest first
    Money advanceTaken = 0;          // deposit, top-ups included
    Money advanceLeft = 0;           // returned to the client
};

struct AdvanceReceipt {
    int32_t receiptNumber = 0;
    int32_t operatorNumber = 0;
    LocalDateTime printedAt;
    int32_t boothNumber = 0;
    Money advanceTaken = 0;  // the deposit so far, not only the amount just added
};

// The automatic booth prints text 25 and the date before the receipt number; the fax and
// universal booths print no text 25 and the receipt number before the date.
enum class AdvanceReceiptKind { kAutomatic, kFaxOrUniversal };

// Every line laid out by the layout's columns, then its "Протяжка" feed lines.
std::vector<std::string> ComposeSettlementReceipt(const ReceiptTexts& texts,
                                                  const SettlementReceipt& receipt,
                                                  const ReceiptLayout& layout);
std::vector<std::string> ComposeAdvanceReceipt(const ReceiptTexts& texts,
                                               const AdvanceReceipt& receipt,
                                               AdvanceReceiptKind kind,
                                               const ReceiptLayout& layout);

}  // namespace miradel
