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
#include "common/OperatorPrompt.h"

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

// One row of the call table, every field in the form the table keeps it.
struct CallRecordRow {
    int number = 0;  // booth number
    int operatorNo = 0;
    std::string dialUp;
    int ticket = 0;        // the booth's receipt number
    std::string duration;  // "62:05"
    std::string tarif;     // "1.50"
    std::string summa;     // "1.52"
    int32_t avans = 0;     // advance taken, hundredths
    std::string rest;      // "8.48"
    std::string date;      // "5.3.2009"
    std::string time;      // "9:5:7"

    friend bool operator==(const CallRecordRow&, const CallRecordRow&) = default;
};

class CallRecordStore {
  public:
    virtual ~CallRecordStore() = default;
    // False when the table is not ready for a new row; nothing is written then.
    virtual bool WriteCallRecord(const CallRecordRow& row) = 0;
    // The data module's last-error slot.
    virtual void SetLastError(int code, const std::string& text) = 0;
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
    OperatorPrompt& prompt;
};

}  // namespace miradel
