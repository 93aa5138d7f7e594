#include "booths/BoothReceiptPrinter.h"

#include <gtest/gtest.h>

#include "support/BoothTestEnv.h"

namespace miradel {
namespace {

using namespace appcfg;

struct ReceiptRig {
    testing::BoothTestEnv t;
    ReceiptTexts texts;
    BoothReceiptPrinter printer{{texts, t.config, t.clock, nullptr, nullptr}};

    BoothSnapshot Booth() const {
        BoothSnapshot b;
        b.state = 2;
        b.boothNumber = 12;
        b.receiptNumber = 17;
        b.advanceTaken = 1000;
        b.advanceLeft = 848;
        for (int32_t seconds : {61, 3725}) {
            InfoKabin call;
            call.SetDigits("84951234567");
            call.duration = seconds;
            call.tariff = 150;
            call.charge = 76;
            b.records.push_back(call);
        }
        return b;
    }
};

std::vector<int16_t> Commands(const CheckQueue& doc) {
    std::vector<int16_t> out;
    doc.ForEach([&](const DataCheck& r) { out.push_back(r.command); });
    return out;
}

TEST(BoothReceiptPrinter, SettlementOnThe130FIsTwoTextsTheItemsThePaymentAndTheEnd) {
    ReceiptRig rig;
    rig.t.config.Set(kLegacyReceiptCounter, 5);
    const CheckQueue doc = rig.printer.SettlementDocument(rig.Booth(), kReceiptMercury130F);
    EXPECT_EQ(Commands(doc), (std::vector<int16_t>{0, 0, 1, 1, 2, 8}));
    std::vector<const DataCheck*> records;
    doc.ForEach([&](const DataCheck& r) { records.push_back(&r); });
    EXPECT_EQ(records[0]->receiptNumber, 5);
    EXPECT_EQ(records[2]->receiptNumber, 17);
    EXPECT_EQ(records[2]->text, "84951234567");
    EXPECT_FLOAT_EQ(records[2]->quantity, 1.01f);  // 61 s as 1.01
    EXPECT_FLOAT_EQ(records[3]->quantity, 62.05f);
    EXPECT_FLOAT_EQ(records[2]->price, 1.50f);
    EXPECT_FLOAT_EQ(records[2]->amount, 0.76f);
    EXPECT_EQ(records[2]->argument, 12);
    EXPECT_FLOAT_EQ(records[4]->amount, 10.00f);
}

TEST(BoothReceiptPrinter, SettlementOnThe1141FOpensAFiscalReceiptWithTextItems) {
    ReceiptRig rig;
    rig.t.config.Set(kLegacyReceiptCounter, 5);
    rig.t.config.Set(kWorkplace, int16_t{3});
    const CheckQueue doc = rig.printer.SettlementDocument(rig.Booth(), kReceiptMercury1141F);
    EXPECT_EQ(Commands(doc), (std::vector<int16_t>{15, 1, 1, 2, 8}));
    std::vector<const DataCheck*> records;
    doc.ForEach([&](const DataCheck& r) { records.push_back(&r); });
    EXPECT_EQ(records[2]->text, "17 84951234567  62:05 1.50");
    EXPECT_FLOAT_EQ(records[2]->quantity, 1.0f);
    EXPECT_FLOAT_EQ(records[2]->price, 0.76f);
    EXPECT_FLOAT_EQ(records[2]->amount, 3.0f);
    EXPECT_EQ(records[0]->receiptNumber, 5);
    EXPECT_EQ(records[3]->receiptNumber, 17);
}

TEST(BoothReceiptPrinter, AdvanceReceiptDocumentsForBothRegisters) {
    ReceiptRig rig;
    rig.t.config.Set(kFeedLines, 2);
    rig.t.config.Set(kFeedAndCut, true);
    const CheckQueue m130 = rig.printer.AdvanceDocument(rig.Booth(), kReceiptMercury130F);
    EXPECT_EQ(Commands(m130), (std::vector<int16_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8}));
    const CheckQueue m114 = rig.printer.AdvanceDocument(rig.Booth(), kReceiptMercury1141F);
    EXPECT_EQ(Commands(m114), (std::vector<int16_t>{9, 0, 0, 0, 0, 0, 0, 0, 0, 10, 8}));
    m114.ForEach([](const DataCheck& r) {
        EXPECT_EQ(r.receiptNumber, 17);
        if (r.command == kCheckEndOfDocument) {
            EXPECT_EQ(r.argument, 2);
            EXPECT_EQ(r.feedAndCut, 1);
        }
    });
}

}  // namespace
}  // namespace miradel
