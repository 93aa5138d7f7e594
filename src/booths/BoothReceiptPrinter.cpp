#include "booths/BoothReceiptPrinter.h"

#include <fmt/format.h>

#include "printing/PrintQueue.h"
#include "printing/raw/PrintJobQueue.h"

namespace miradel {

using namespace appcfg;

namespace {

float Units(int32_t hundredths) {
    return static_cast<float>(hundredths) / 100.0f;
}

std::unique_ptr<DataCheck> Record(int16_t command, int32_t number, std::string text = {}) {
    auto r = std::make_unique<DataCheck>();
    r->command = command;
    r->receiptNumber = number;
    r->text = std::move(text);
    return r;
}

std::vector<ReceiptCall> CallsOf(const BoothSnapshot& booth) {
    std::vector<ReceiptCall> calls;
    for (const InfoKabin& call : booth.records) {
        calls.push_back({std::string(call.Digits()), call.duration, call.charge});
    }
    return calls;
}

}  // namespace

void BoothReceiptPrinter::PrintOnPaper(std::vector<std::string> lines) {
    if (!d_.plainPrinter) {
        return;
    }
    RawJob job;
    job.lines = std::move(lines);
    job.settings.encoding = d_.encoding;
    job.settings.formFeed = d_.config.Get(kLaserPrinter);
    d_.plainPrinter->Submit(std::move(job));
}

void BoothReceiptPrinter::PrintAdvanceReceipt(const BoothSnapshot& booth) {
    const int device = d_.config.Get(kReceiptDevice);
    if (device == kReceiptPrinter) {
        AdvanceReceipt receipt;
        receipt.receiptNumber = booth.receiptNumber;
        receipt.operatorNumber = d_.config.Get(kOperatorOnDuty);
        receipt.printedAt = d_.clock.Now();
        receipt.boothNumber = booth.boothNumber;
        receipt.advanceTaken = booth.advanceTaken;
        PrintOnPaper(ComposeAdvanceReceipt(d_.texts, receipt, d_.advanceKind,
                                           ReceiptLayout::From(d_.config.Copy())));
    } else if (d_.fiscalQueue) {
        d_.fiscalQueue->Push(AdvanceDocument(booth, device));
    }
}

void BoothReceiptPrinter::PrintSettlementReceipt(const BoothSnapshot& booth) {
    const int device = d_.config.Get(kReceiptDevice);
    if (device == kReceiptPrinter) {
        SettlementReceipt receipt;
        receipt.receiptNumber = booth.receiptNumber;
        receipt.operatorNumber = d_.config.Get(kOperatorOnDuty);
        receipt.printedAt = d_.clock.Now();
        receipt.boothNumber = booth.boothNumber;
        receipt.calls = CallsOf(booth);
        receipt.advanceTaken = booth.advanceTaken;
        receipt.advanceLeft = booth.advanceLeft;
        PrintOnPaper(
            ComposeSettlementReceipt(d_.texts, receipt, ReceiptLayout::From(d_.config.Copy())));
    } else if (d_.fiscalQueue) {
        d_.fiscalQueue->Push(SettlementDocument(booth, device));
    }
}

CheckQueue BoothReceiptPrinter::AdvanceDocument(const BoothSnapshot& booth, int device) const {
    const bool m114 = device == kReceiptMercury1141F;
    const int32_t counter = d_.config.Get(kLegacyReceiptCounter);
    const int32_t textNumber = m114 ? booth.receiptNumber : counter;
    const LocalDateTime now = d_.clock.Now();
    const auto& t = d_.texts;
    const int32_t feed = std::clamp(d_.config.Get(kFeedLines), 0, 255);

    CheckQueue doc;
    auto text = [&](std::string line) {
        doc.Push(Record(kCheckText, textNumber, std::move(line)));
    };
    if (m114) {
        doc.Push(Record(kCheckOpenNonFiscal, booth.receiptNumber, t.Text(17)));
    } else {
        text(t.Text(17));
    }
    text(t.Text(25));
    text(t.Text(18));
    text(ComposeLine(t.Text(23), {{12, std::to_string(booth.boothNumber)}}));
    text(ComposeLine(t.Text(22), {{12, std::to_string(booth.receiptNumber)}}));
    text(ComposeLine(t.Text(19), {{9, ReceiptDateText(now)}}));
    text(ComposeLine(t.Text(20), {{9, ReceiptTimeText(now)}}));
    text(ComposeLine(t.Text(21), {{12, std::to_string(d_.config.Get(kOperatorOnDuty))}}));
    text(ComposeLine(t.Text(24), {{13, ReceiptMoneyText(booth.advanceTaken)}}));
    if (m114) {
        doc.Push(Record(kCheckCloseNonFiscal, booth.receiptNumber, t.Text(17)));
    } else {
        text(t.Text(17));
        for (int i = 0; i < feed; ++i)
            text(" ");
    }
    auto end = Record(kCheckEndOfDocument, m114 ? booth.receiptNumber : counter);
    end->argument = feed;
    end->feedAndCut = d_.config.Get(kFeedAndCut) ? 1 : 0;
    doc.Push(std::move(end));
    return doc;
}

CheckQueue BoothReceiptPrinter::SettlementDocument(const BoothSnapshot& booth, int device) const {
    const bool m114 = device == kReceiptMercury1141F;
    const int32_t counter = d_.config.Get(kLegacyReceiptCounter);
    const int32_t feed = std::clamp(d_.config.Get(kFeedLines), 0, 255);
    CheckQueue doc;
    if (m114) {
        doc.Push(Record(kCheckOpenFiscal, counter));
    } else {
        doc.Push(Record(kCheckText, counter, d_.texts.Text(17)));
        doc.Push(Record(kCheckText, counter, d_.texts.Text(25)));
    }
    for (const InfoKabin& call : booth.records) {
        auto item = Record(kCheckSale, m114 ? counter : booth.receiptNumber);
        item->argument = booth.boothNumber;
        const int32_t minutes = call.duration / 60;
        const int32_t seconds = call.duration % 60;
        if (m114) {
            item->quantity = 1;
            item->text = fmt::format("{} {}  {}:{:02} {}", booth.receiptNumber, call.Digits(),
                                     minutes, seconds, ReceiptMoneyText(call.tariff));
            item->price = Units(call.charge);
            item->amount = static_cast<float>(d_.config.Get(kWorkplace));
        } else {
            item->text = std::string(call.Digits());
            // 125 s are written 2.05 and read as a decimal number.
            item->quantity = static_cast<float>(minutes) + static_cast<float>(seconds) / 100.0f;
            item->amount = Units(call.charge);
            item->price = Units(call.tariff);
        }
        doc.Push(std::move(item));
    }
    auto payment = Record(kCheckClose, booth.receiptNumber);
    payment->amount = Units(booth.advanceTaken);
    doc.Push(std::move(payment));
    auto end = Record(kCheckEndOfDocument, counter);
    end->argument = feed;
    end->feedAndCut = d_.config.Get(kFeedAndCut) ? 1 : 0;
    doc.Push(std::move(end));
    return doc;
}

}  // namespace miradel
