#include "cashdesk/Kassa.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace miradel {
namespace {

KassaData CountersOf(std::array<int32_t, 8> values) {
    KassaData d;
    for (int i = 0; i < 8; ++i) {
        d.Set(i, values[i]);
    }
    return d;
}

std::array<int32_t, 8> Counters(const KassaImage& image) {
    const KassaData d = image.Copy();
    std::array<int32_t, 8> out{};
    for (int i = 0; i < 8; ++i) {
        out[i] = d.Get(i);
    }
    return out;
}

TEST(Kassa, ABoothTurnLeavesOnlyTheCallsInTheTill) {
    // Advance 20.00, one call of 3.50, the rest 16.50 paid back.
    KassaImage image(CountersOf({0, 0, 0, 1000, 0, 0, 500, 1500}));
    Kassa kassa(image);
    kassa.TakeBoothAdvance(2000);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{2000, 0, 0, 1000, 0, 0, 500, 3500}));
    EXPECT_TRUE(image.Dirty());
    kassa.BillBoothCall(350);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{1650, 0, 0, 1350, 0, 0, 500, 3500}));
    kassa.PayBackBoothAdvance(1650);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{0, 0, 0, 1350, 0, 0, 500, 1850}));
}

TEST(Kassa, OrdersFaxesAndPaymentsMoveTheirOwnCounters) {
    KassaImage image;
    Kassa kassa(image);
    // An order of 8.00 booked in advance and settled at 12.00: the client pays 4.00 more.
    kassa.TakeOrderAdvance(800);
    kassa.SettleOrder(800, 1200);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{0, 0, 0, 0, 1200, 0, 0, 1200}));
    // Settled below the advance: the difference goes back to the client.
    kassa.TakeOrderAdvance(1000);
    kassa.SettleOrder(1000, 600);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{0, 0, 0, 0, 1800, 0, 0, 1800}));
    kassa.BillIncomingFax(450);
    kassa.TakePayment(10000);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{0, 0, 450, 0, 1800, 10000, 0, 12250}));
}

TEST(Kassa, EveryMoveKeepsTheTotalTheSumOfTheOthers) {
    KassaImage image(CountersOf({0, 0, 0, 0, 0, 0, 0, 0}));
    Kassa kassa(image);
    std::mt19937 random(20090305);
    std::uniform_int_distribution<int32_t> amount(0, 500000);
    std::uniform_int_distribution<int> move(0, 7);
    for (int step = 0; step < 2000; ++step) {
        const Money a = amount(random);
        switch (move(random)) {
            case 0:
                kassa.TakeBoothAdvance(a);
                break;
            case 1:
                kassa.BillBoothCall(a);
                break;
            case 2:
                kassa.PayBackBoothAdvance(a);
                break;
            case 3:
                kassa.TakeOrderAdvance(a);
                break;
            case 4:
                kassa.SettleOrder(a, amount(random));
                break;
            case 5:
                kassa.BillIncomingFax(a);
                break;
            case 6:
                kassa.TakePayment(a);
                break;
            case 7:
                kassa.BookCollection(a);
                break;
        }
        ASSERT_TRUE(KassaBalanced(image.Copy())) << "step " << step;
    }
}

TEST(Kassa, CollectionZeroesTheIncomeAndKeepsWhatIsLeft) {
    KassaImage image(CountersOf({1500, 800, 300, 4550, 1200, 10000, 2000, 20350}));
    const Kassa::Booking booking = Kassa(image).BookCollection(5050);
    EXPECT_EQ(booking.available, 18050);
    EXPECT_EQ(booking.taken, 13000);
    EXPECT_EQ(Counters(image), (std::array<int32_t, 8>{1500, 800, 0, 0, 0, 0, 5050, 7350}));
}

TEST(Kassa, ReconciliationFollowsTheAdvancesActuallyRestored) {
    struct Case {
        std::array<int32_t, 8> before;
        Money restored;
        bool changes;
        std::array<int32_t, 8> after;
    };
    for (const Case& c : std::vector<Case>{
             // all agrees: nothing happens
             {{500, 100, 0, 200, 0, 0, 0, 800}, 500, false, {500, 100, 0, 200, 0, 0, 0, 800}},
             // counter 0 claims more than the booths hold
             {{900, 100, 0, 200, 0, 0, 0, 1200}, 500, true, {500, 100, 0, 200, 0, 0, 0, 800}},
             // the total drifted
             {{500, 100, 0, 200, 0, 0, 0, 777}, 500, true, {500, 100, 0, 200, 0, 0, 0, 800}},
             // nothing restored
             {{300, 0, 50, 0, 0, 0, 10, 360}, 0, true, {0, 0, 50, 0, 0, 0, 10, 60}},
         }) {
        KassaImage image;
        image.Load(CountersOf(c.before));
        EXPECT_EQ(Kassa(image).Reconcile(c.restored), c.changes);
        EXPECT_EQ(image.Dirty(), c.changes);
        EXPECT_EQ(Counters(image), c.after);
    }
}

TEST(KassaAmountText, OneLeadingMinusAndTwoDecimals) {
    for (const auto& [value, text] : std::vector<std::pair<int32_t, std::string>>{
             {0, "0.00"},
             {5, "0.05"},
             {-5, "-0.05"},
             {-105, "-1.05"},
             {-150, "-1.50"},
             {123456, "1234.56"},
             {std::numeric_limits<int32_t>::min(), "-21474836.48"},
         }) {
        EXPECT_EQ(KassaAmountText(value), text) << value;
    }
}

TEST(Kassa, RowLabelsAreTheWindowsOwn) {
    EXPECT_EQ(kKassaRowLabels[0], "Аванс АПП :");
    EXPECT_EQ(kKassaRowLabels[1], "Аванс  ЗС :");
    EXPECT_EQ(kKassaRowLabels[6], "   Остаток:");
    EXPECT_EQ(kKassaRowLabels[7], "    Итого :");
}

}  // namespace
}  // namespace miradel
