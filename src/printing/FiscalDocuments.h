#pragma once
// Building documents for the print queue. A document is a run of records, normally ending
// with an end-of-document record, pushed on the queue in one go.

#include <cstdint>
#include <string>
#include <vector>

#include "app/config/AppConfig.h"
#include "common/Money.h"
#include "printing/DataCheck.h"

namespace miradel {

class FiscalDocument {
  public:
    FiscalDocument& Add(DataCheck record);
    // A record of `command` with nothing but its receipt number, argument and text.
    FiscalDocument& Command(int16_t command, int32_t receiptNumber, int32_t argument = 0,
                            std::string text = {});
    FiscalDocument& Text(int32_t receiptNumber, std::string text);
    FiscalDocument& Sale(int32_t receiptNumber, std::string text, float price, float quantity,
                         float amount, int32_t section);
    FiscalDocument& Close(int32_t receiptNumber, float payment);
    // The end of document with "Протяжка" and "Вкл. прогон и отрез".
    FiscalDocument& End(int32_t receiptNumber, int32_t feedLines, bool feedAndCut);
    FiscalDocument& End(int32_t receiptNumber, const AppConfig& config);

    std::size_t Size() const { return records_.Size(); }
    CheckQueue Take() { return std::move(records_); }

  private:
    CheckQueue records_;
};

// One billed call of a booth, as its settlement check lists it.
struct SettlementCall {
    std::string digits;
    Money tariff = 0;  // price of a minute
    int32_t seconds = 0;
    Money charge = 0;
};

struct SettlementCheck {
    int32_t receiptCounter = 0;  // "№ квитанции АПП"
    int32_t receiptNumber = 0;   // the booth's receipt
    int32_t boothNumber = 0;
    std::string text17;  // receipt texts 17 and 25 (130Ф)
    std::string text25;
    std::vector<SettlementCall> calls;  // oldest first
    Money advance = 0;                  // advance taken: the payment
    int16_t workplace = 0;              // "№ рабочего места" (114.1Ф)
    int32_t feedLines = 0;
    bool feedAndCut = false;
};

// Duration as the 130Ф quantity: minutes, a point, two digits of seconds (125 s is 2.05).
float MinutesDotSeconds(int32_t seconds);

// The settlement check of a booth for the Меркурий 130Ф and the Меркурий 114.1Ф.
CheckQueue SettlementCheck130(const SettlementCheck& check);
CheckQueue SettlementCheck114(const SettlementCheck& check);

}  // namespace miradel
