// Number analysis and pricing: first match in file order, the '*' texts, the price of a zone
// by hour and by day type.

#include <gtest/gtest.h>

#include <string>

#include "TariffFolder.h"

namespace miradel {
namespace {

using testing::TariffFolder;
using testing::TariffRecord;
using testing::YearTextWith;

// Zone z costs 100 * z + hour on ordinary days and 1000 * z + hour on preferential days;
// zone 7 has no record.
const std::string kTariffs =
    TariffRecord(1, 100, 1000) + TariffRecord(2, 200, 2000) + TariffRecord(3, 300, 3000);

TEST(TariffLookup, FirstMatchInFileOrderDecides) {
    const struct {
        const char* what;
        const char* prefixes;
        const char* codes;
        const char* number;
        const char* prefix;  // expected prefix text; nullptr for none
        int zone;            // expected zone; 0 when there is no code entry
    } cases[] = {
        {"no prefix matches", "8-1-11-4\n", "495 1 M\n", "7495", nullptr, 0},
        {"number shorter than the prefix", "8495-1-11-4\n", "* 1 M\n", "849", nullptr, 0},
        {"'*' first takes every number", "*-1-11-4\n8-1-11-4\n", "8495 2 A\n495 3 B\n", "8495", "*",
         2},
        {"5 before 512 takes 51234", "5-1-11-4\n512-1-11-4\n", "12 1 A\n34 2 B\n", "51234", "5", 1},
        {"512 before 5 takes 51234", "512-1-11-4\n5-1-11-4\n", "12 1 A\n34 2 B\n", "51234", "512",
         2},
        {"'*x' consumes one digit", "*8-1-11-4\n", "495 2 M\n", "8495123", "*8", 2},
        {"'*x' consumes any first digit", "*8-1-11-4\n", "495 2 M\n", "9495123", "*8", 2},
        {"'*xy' on a number shorter than it", "*81-1-11-4\n", "495 2 M\n* 1 Rest\n", "9", "*81", 1},
        {"lone '*' consumes none", "*-1-11-4\n", "495 2 M\n", "495123", "*", 2},
        {"lone '*' keeps the first digit", "*-1-11-4\n", "495 2 M\n", "8495", "*", 0},
        {"'*' as last code catches the rest", "8-1-11-4\n", "495 2 M\n* 1 Rest\n", "8812", "8", 1},
        {"code above '*' still wins", "8-1-11-4\n", "495 2 M\n* 1 Rest\n", "8495", "8", 2},
        {"'*' code first shadows the others", "8-1-11-4\n", "* 1 All\n495 2 M\n", "8495", "8", 1},
        {"no longest match among codes", "8-1-11-4\n", "49 1 A\n495 2 B\n", "84951", "8", 1},
        {"code longer than the digits left", "8-1-11-4\n", "4951 2 M\n", "8495", "8", 0},
        {"zone without a tariff record", "8-1-11-4\n", "495 7 Nowhere\n", "8495", "8", 7},
    };
    for (const auto& c : cases) {
        TariffFolder folder;
        folder.WriteSet(c.prefixes, 1, c.codes, kTariffs);
        const TariffLoad load = folder.Load();
        ASSERT_TRUE(load.engine) << c.what << ": " << load.error->detail;
        const TRFTOR& engine = *load.engine;

        const Prefx* prefix = engine.FindPrefix(c.number);
        if (c.prefix == nullptr) {
            EXPECT_EQ(prefix, nullptr) << c.what;
        } else {
            ASSERT_NE(prefix, nullptr) << c.what;
            EXPECT_EQ(prefix->text, c.prefix) << c.what;
        }
        const KZona* code = engine.FindCode(c.number);
        EXPECT_EQ(code == nullptr ? 0 : code->zone, c.zone) << c.what;

        const bool priced = c.zone >= 1 && c.zone <= 3;
        folder.clock.Set({2024, 5, 14, 10, 30, 0, 0});  // an ordinary day
        EXPECT_EQ(engine.TariffNow(c.number), priced ? 100 * c.zone + 10 : -1) << c.what;
        EXPECT_EQ(engine.TariffAtHour(c.number, 3), priced ? 100 * c.zone + 3 : 0) << c.what;
    }
}

class TariffPricing : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteSet("8-1-11-4\n", 1, "495 2 M\n812 3 P\n411 4 Free\n",
                         kTariffs + TariffRecord(4, 0, 0) + TariffRecord(2, 9, 9));
        Reload();
    }
    void Reload() {
        TariffLoad load = folder_.Load();
        ASSERT_TRUE(load.engine) << load.error->detail;
        engine_ = std::move(load.engine);
    }

    TariffFolder folder_;
    std::unique_ptr<TRFTOR> engine_;
};

TEST_F(TariffPricing, TheClockGivesTheHour) {
    const struct {
        int hour;
        int minute;
        int32_t price;
    } cases[] = {{0, 0, 200}, {9, 59, 209}, {10, 0, 210}, {23, 59, 223}};
    for (const auto& c : cases) {
        folder_.clock.Set({2024, 5, 14, c.hour, c.minute, 0, 0});
        EXPECT_EQ(engine_->TariffNow("8495"), c.price) << c.hour << ":" << c.minute;
    }
}

TEST_F(TariffPricing, HoursOutsideTheDayPriceZero) {
    const struct {
        int hour;
        int32_t price;
    } cases[] = {{-1, 0}, {0, 200}, {23, 223}, {24, 0}, {1000, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(engine_->TariffAtHour("8495", c.hour), c.price) << c.hour;
    }
}

TEST_F(TariffPricing, APriceOfZeroIsAPrice) {
    folder_.clock.Set({2024, 5, 14, 0, 15, 0, 0});
    EXPECT_EQ(engine_->TariffNow("8411"), 0);
    EXPECT_EQ(engine_->TariffNow("8412"), -1);
    EXPECT_EQ(engine_->TariffAtHour("8411", 0), 0);
}

TEST_F(TariffPricing, TheFirstRecordOfAZoneDecides) {
    const ZonaTarif* record = engine_->FindTariff(1, 2);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record, &engine_->Tariffs(1)[1]);  // not the later zone-2 record at 9
    EXPECT_EQ(engine_->FindTariff(1, 7), nullptr);
    EXPECT_EQ(engine_->FindTariff(0, 2), nullptr);
    EXPECT_EQ(engine_->FindTariff(100, 2), nullptr);
    EXPECT_EQ(engine_->FindTariff(-1, 2), nullptr);
}

TEST_F(TariffPricing, TodaysMarkChoosesTheDayType) {
    const struct {
        const char* what;
        int month, day;
        char mark;
        int32_t price;  // at 10:30
    } cases[] = {
        {"ordinary", 5, 14, '0', 210},
        {"preferential", 5, 14, '1', 2010},
        {"any other mark is preferential", 5, 14, '2', 2010},
        {"31 December reads row 12", 12, 31, '1', 2010},
        {"1 January reads row 1", 1, 1, '1', 2010},
        {"29 February", 2, 29, '1', 2010},
    };
    for (const auto& c : cases) {
        folder_.Write("year.dat", YearTextWith(c.month, c.day, c.mark));
        ASSERT_FALSE(engine_->LoadYear()) << c.what;
        folder_.clock.Set({2024, c.month, c.day, 10, 30, 0, 0});
        EXPECT_EQ(engine_->DayMark(), c.mark) << c.what;
        EXPECT_EQ(engine_->TariffNow("8495"), c.price) << c.what;
        EXPECT_EQ(engine_->TariffAtHour("8495", 10), c.price) << c.what;
        // The neighbouring days stay ordinary.
        folder_.clock.Set({2024, c.month, c.day, 10, 30, 0, 0});
        folder_.clock.AdvanceMs(24LL * 3600 * 1000);
        EXPECT_EQ(engine_->DayMark(), '0') << c.what;
        EXPECT_EQ(engine_->TariffNow("8495"), 210) << c.what;
    }
}

TEST_F(TariffPricing, TheMarksOfAYearApplyInEveryYear) {
    folder_.Write("year.dat", YearTextWith(3, 8, '1'));
    ASSERT_FALSE(engine_->LoadYear());
    for (int year : {1999, 2024, 2031}) {
        folder_.clock.Set({year, 3, 8, 12, 0, 0, 0});
        EXPECT_EQ(engine_->TariffNow("8495"), 2012) << year;
    }
}

}  // namespace
}  // namespace miradel
