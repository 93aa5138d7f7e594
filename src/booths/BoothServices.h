#pragma once
// The services an advance booth uses beyond the state files: the controller line, the tariff
// engine, the call table, receipts, the LCD terminals and lamps, and the advance dialog. The
// office wires each to its subsystem; tests record them.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "booths/BoothSnapshot.h"

namespace miradel {

// Commands to the booth controller (line = the booth's panel index).
class ControllerLine {
  public:
    virtual ~ControllerLine() = default;
    virtual void Queue(std::initializer_list<uint8_t> data) = 0;
};

struct PrefixMatch {
    int zoneFile = 0;        // 90..94 free numbers, 95..99 flat-price numbers
    int numberLength = 0;    // digits of a whole number with this prefix
    int analysisLength = 0;  // digits after which the number can be priced
};

class TariffLookup {
  public:
    virtual ~TariffLookup() = default;
    virtual std::optional<PrefixMatch> FindPrefix(std::string_view digits) = 0;
    // Price of a minute now, in hundredths; -1 when the number cannot be priced.
    virtual int32_t TariffNow(std::string_view digits) = 0;
};

// A billed call as the call table records it.
struct BilledCall {
    InfoKabin call;
    int32_t receiptNumber = 0;
    int16_t operatorNo = 0;
    int32_t advanceTaken = 0;  // hundredths
    int32_t advanceLeft = 0;   // after this call

    friend bool operator==(const BilledCall&, const BilledCall&) = default;
};

class CallRecordStore {
  public:
    virtual ~CallRecordStore() = default;
    // Writes the call's row; when the table refuses it, tells the operator and lets him retry.
    // False when the row was not written in the end. The call stays billed either way.
    virtual bool WriteCallRecord(const BilledCall& call) = 0;
};

// What a receipt shows of the booth: the snapshot holds the receipt number, the booth number,
// the advances and the call records.
class BoothReceipts {
  public:
    virtual ~BoothReceipts() = default;
    virtual void PrintAdvanceReceipt(const BoothSnapshot& booth) = 0;
    virtual void PrintSettlementReceipt(const BoothSnapshot& booth) = 0;
};

// LCD messages to the booth's terminal and lamp messages to its lamp.
class BoothTerminal {
  public:
    virtual ~BoothTerminal() = default;
    // Only when the LCD terminals are on and the LCD line is active.
    virtual bool LcdActive() = 0;
    virtual void PostLcd(int type, int address, int32_t value) = 0;
    virtual void PostLamp(int type, int cell) = 0;
};

// The advance dialog while it shows this booth.
class AdvanceDialogLink {
  public:
    virtual ~AdvanceDialogLink() = default;
    virtual void AppendDigit(char digit) = 0;
    virtual void Refresh(const BoothSnapshot& booth) = 0;
    virtual void Close() = 0;
};

struct BoothServices {
    ControllerLine& line;
    TariffLookup& tariffs;
    CallRecordStore& calls;
    BoothReceipts& receipts;
    BoothTerminal& terminal;
    AdvanceDialogLink& dialog;
};

}  // namespace miradel
