#pragma once
// The printouts of a cash collection and of the cash report, built from the incass.cfg
// texts: lines for one job of the receipt printer, or print records for the fiscal register.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cashdesk/IncassTexts.h"
#include "common/Clock.h"
#include "common/Money.h"

namespace miradel {

// One command of a fiscal printout; the fiscal pipeline maps it onto its own print record.
struct CollectionPrintRecord {
    enum Type : int {
        kText = 0,             // one text line
        kEndOfDocument = 8,    // feedLines and feedAndCut are used
        kOpenNonFiscal = 9,    // Меркурий 114.1Ф: first line of a non-fiscal document
        kCloseNonFiscal = 10,  // Меркурий 114.1Ф: its last line
    };

    int type = kText;
    std::string text;         // UTF-8
    int32_t number = 0;       // the document's number: the next booth receipt number
    int32_t feedLines = 0;    // "Протяжка"
    bool feedAndCut = false;  // "Вкл. прогон и отрез"

    friend bool operator==(const CollectionPrintRecord&, const CollectionPrintRecord&) = default;
};

enum class FiscalModel { kMercury130F, kMercury1141F };

// What the printouts show.
struct CollectionFigures {
    std::array<std::string, 8> cells;  // the cash window's amounts of counters 0 to 7
    std::string unclaimed;             // the unclaimed total as shown
    Money taken = 0;
    Money left = 0;
    int32_t operatorNumber = 0;
    LocalDateTime now;
    std::string organisation;  // receipt text 15
};

// The fields every fiscal document carries.
struct CollectionDocument {
    int32_t number = 0;
    int32_t feedLines = 0;
    bool feedAndCut = false;
};

// Collection printout and cash-out printout, one receipt-printer job.
std::vector<std::string> ReceiptPrinterCollection(const IncassTexts& texts,
                                                  const CollectionFigures& figures);

// The collection on the register in use; with `withAmounts` false, the cash report (no
// taken and left lines).
std::vector<CollectionPrintRecord> FiscalCollection(const IncassTexts& texts,
                                                    const CollectionFigures& figures,
                                                    FiscalModel model,
                                                    const CollectionDocument& document,
                                                    bool withAmounts);

}  // namespace miradel
