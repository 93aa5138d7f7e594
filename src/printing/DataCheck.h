#pragma once
// One print command for the fiscal register and the command types the workers know.
// A record is owned by whoever holds it: its producer until it is queued, the print queue
// while queued, the worker after taking it.

#include <cstdint>
#include <memory>
#include <string>

#include "printing/TPQueue.h"

namespace miradel {

enum CheckCommand : int16_t {
    kCheckNone = -1,            // a fresh record
    kCheckText = 0,             // text line
    kCheckSale = 1,             // sale line
    kCheckClose = 2,            // close the check with the payment
    kCheckCancel = 3,           // cancel the open check
    kCheckEndOfDocument = 8,    // paper feed count and feed-and-cut
    kCheckOpenNonFiscal = 9,    // first line of a non-fiscal document
    kCheckCloseNonFiscal = 10,  // last line of a non-fiscal document
    kCheckFeedAndCut = 11,      // no producer sends it
    kCheckOpenDay = 12,         // operator registration
    kCheckXReport = 13,
    kCheckZReport = 14,
    kCheckOpenFiscal = 15,  // open a sale document and print its header
    kCheckDrawer = 16,
    kCheckSetClock = 17,
    kCheckCopyLast = 18,
};

struct DataCheck {
    int32_t receiptNumber = 0;
    std::string text;  // UTF-8
    float price = 0;   // currency units
    float quantity = 0;
    float amount = 0;      // 130Ф: line charge; 114.1Ф: workplace number; close: payment
    int32_t argument = 0;  // section, operator, or the feed lines of an end of document
    int16_t command = kCheckNone;
    uint8_t feedAndCut = 0;
    QueueLink<DataCheck> next;
};

using CheckQueue = TPQueue<DataCheck>;

inline std::unique_ptr<DataCheck> CopyOf(const DataCheck& record) {
    return std::make_unique<DataCheck>(record);
}

}  // namespace miradel
