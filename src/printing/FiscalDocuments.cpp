#include "printing/FiscalDocuments.h"

#include <fmt/format.h>

#include <cstdlib>
#include <utility>

namespace miradel {

namespace {

float Units(Money hundredths) {
    return static_cast<float>(hundredths) / 100.0f;
}

}  // namespace

FiscalDocument& FiscalDocument::Add(DataCheck record) {
    records_.Push(std::make_unique<DataCheck>(std::move(record)));
    return *this;
}

FiscalDocument& FiscalDocument::Command(int16_t command, int32_t receiptNumber, int32_t argument,
                                        std::string text) {
    DataCheck record;
    record.command = command;
    record.receiptNumber = receiptNumber;
    record.argument = argument;
    record.text = std::move(text);
    return Add(std::move(record));
}

FiscalDocument& FiscalDocument::Text(int32_t receiptNumber, std::string text) {
    return Command(kCheckText, receiptNumber, 0, std::move(text));
}

FiscalDocument& FiscalDocument::Sale(int32_t receiptNumber, std::string text, float price,
                                     float quantity, float amount, int32_t section) {
    DataCheck record;
    record.command = kCheckSale;
    record.receiptNumber = receiptNumber;
    record.text = std::move(text);
    record.price = price;
    record.quantity = quantity;
    record.amount = amount;
    record.argument = section;
    return Add(std::move(record));
}

FiscalDocument& FiscalDocument::Close(int32_t receiptNumber, float payment) {
    DataCheck record;
    record.command = kCheckClose;
    record.receiptNumber = receiptNumber;
    record.amount = payment;
    return Add(std::move(record));
}

FiscalDocument& FiscalDocument::End(int32_t receiptNumber, int32_t feedLines, bool feedAndCut) {
    DataCheck record;
    record.command = kCheckEndOfDocument;
    record.receiptNumber = receiptNumber;
    record.argument = feedLines;
    record.feedAndCut = feedAndCut ? 1 : 0;
    return Add(std::move(record));
}

FiscalDocument& FiscalDocument::End(int32_t receiptNumber, const AppConfig& config) {
    return End(receiptNumber, config.Get(appcfg::kFeedLines), config.Get(appcfg::kFeedAndCut));
}

float MinutesDotSeconds(int32_t seconds) {
    const std::string text = fmt::format("{}.{:02}", seconds / 60, seconds % 60);
    return std::strtof(text.c_str(), nullptr);
}

CheckQueue SettlementCheck130(const SettlementCheck& check) {
    FiscalDocument document;
    document.Text(check.receiptCounter, check.text17);
    document.Text(check.receiptCounter, check.text25);
    for (const SettlementCall& call : check.calls) {
        document.Sale(check.receiptNumber, call.digits, Units(call.tariff),
                      MinutesDotSeconds(call.seconds), Units(call.charge), check.boothNumber);
    }
    document.Close(check.receiptNumber, Units(check.advance));
    document.End(check.receiptNumber, check.feedLines, check.feedAndCut);
    return document.Take();
}

CheckQueue SettlementCheck114(const SettlementCheck& check) {
    FiscalDocument document;
    document.Command(kCheckOpenFiscal, check.receiptCounter);
    for (const SettlementCall& call : check.calls) {
        const std::string text =
            fmt::format("{} {}  {}:{:02} {}", check.receiptNumber, call.digits, call.seconds / 60,
                        call.seconds % 60, MoneyReceiptText(call.tariff));
        document.Sale(check.receiptCounter, text, Units(call.charge), 1.0f,
                      static_cast<float>(check.workplace), check.boothNumber);
    }
    document.Close(check.receiptNumber, Units(check.advance));
    document.End(check.receiptCounter, check.feedLines, check.feedAndCut);
    return document.Take();
}

}  // namespace miradel
