// Loading order, the once-per-file rule and the failures of the start-up.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TariffFolder.h"

namespace miradel {
namespace {

using testing::TariffFolder;
using testing::TariffRecord;

TEST(TariffLoad, EachMissingFileGivesItsFailure) {
    const struct {
        const char* missing;
        int32_t code;
        const char* text;
    } cases[] = {
        {"prefix.dat", kFailPrefixFile, "Error load Prefix"},
        {"kz_4.dat", kFailCodeFile, "Error load KodZona"},
        {"zt_4.dat", kFailTariffFile, "Error load ZonaTarif"},
        {"year.dat", kFailOpenYear, "Error OPENYEAR"},
    };
    for (const auto& c : cases) {
        TariffFolder folder;
        folder.WriteSet("8-4-11-4\n", 4, "495 2 M\n", TariffRecord(2, 100, 200));
        std::filesystem::remove(folder.dir / c.missing);
        const TariffLoad load = folder.Load();
        ASSERT_FALSE(load.engine) << c.missing;
        EXPECT_EQ(load.error->code, c.code) << c.missing;
        EXPECT_EQ(load.error->text, c.text) << c.missing;
        EXPECT_NE(load.error->detail.find(c.missing), std::string::npos) << load.error->detail;
    }
}

TEST(TariffLoad, ElevenLinesOfYearDatGiveErrorReadYear) {
    TariffFolder folder;
    folder.WriteSet("8-4-11-4\n", 4, "495 2 M\n", TariffRecord(2, 100, 200));
    const std::string year = testing::YearText();
    folder.Write("year.dat", year.substr(0, 11 * 32));
    const TariffLoad load = folder.Load();
    ASSERT_FALSE(load.engine);
    EXPECT_EQ(load.error->code, kFailReadYear);
    EXPECT_EQ(load.error->text, "Error READYEAR");
    EXPECT_EQ(load.error->detail, "year.dat has 11 lines, 12 needed");
}

TEST(TariffLoad, AllCodeFilesAreReadBeforeAnyTariffFile) {
    TariffFolder folder;
    folder.Write("prefix.dat", "8-3-11-4\n7-5-10-4\n");
    folder.Write("kz_3.dat", "495 2 M\n");  // zt_3.dat and kz_5.dat are both missing
    const TariffLoad load = folder.Load();
    ASSERT_FALSE(load.engine);
    EXPECT_EQ(load.error->text, "Error load KodZona");
    EXPECT_NE(load.error->detail.find("kz_5.dat (zone-file number 5 of prefix.dat line 2)"),
              std::string::npos)
        << load.error->detail;
}

TEST(TariffLoad, SharedZoneFileNumbersReadTheirFilesOnce) {
    TariffFolder folder;
    folder.Write("prefix.dat", "810-4-14-7\n8-4-11-4\n7-4-11-4\n");
    folder.Write("kz_4.dat", "495 2 M\n* 3 Rest\n");
    folder.Write("zt_4.dat", TariffRecord(2, 100, 200) + TariffRecord(3, 300, 400));
    const TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine) << load.error->detail;
    const TRFTOR& engine = *load.engine;
    // Read twice, the lists would hold every line twice.
    EXPECT_EQ(engine.Codes(4).Size(), 2u);
    EXPECT_EQ(engine.Tariffs(4).Size(), 2u);
    EXPECT_EQ(engine.FindCode("8495"), &engine.Codes(4)[0]);
    EXPECT_EQ(engine.FindCode("7495"), &engine.Codes(4)[0]);
    EXPECT_EQ(engine.FindCode("810495"), &engine.Codes(4)[0]);
    EXPECT_EQ(engine.FindCode("8100"), &engine.Codes(4)[1]);
    EXPECT_EQ(engine.FailureCode(), kTariffOk);
}

TEST(TariffLoad, AnOddTariffLineIsIgnoredWithANote) {
    TariffFolder folder;
    folder.WriteSet("8-1-11-4\n", 1, "495 2 M\n",
                    TariffRecord(2, 100, 200) + "T3 1 2 3\n");  // the partnerless line is short
    const TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine) << load.error->detail;
    EXPECT_EQ(load.engine->Tariffs(1).Size(), 1u);
    ASSERT_EQ(load.notes.size(), 1u);
    EXPECT_EQ(load.notes[0], "zt_1.dat, line 3: last line has no partner line; ignored");
}

TEST(TariffLoad, ListsFollowFileOrderAndLinkThroughNext) {
    TariffFolder folder;
    folder.WriteSet("7-1-10-4\n\n8-1-11-4\n", 1, "1 1 A\n2 2 B\n3 3 C\n",
                    TariffRecord(3, 1, 1) + TariffRecord(1, 1, 1) + TariffRecord(2, 1, 1));
    const TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine) << load.error->detail;
    const TRFTOR& engine = *load.engine;
    std::string walked;
    for (const Prefx* p = engine.Prefixes().Head(); p != nullptr; p = p->next) {
        walked += p->text;
    }
    for (const KZona* k = engine.Codes(1).Head(); k != nullptr; k = k->next) {
        walked += k->code;
    }
    for (const ZonaTarif* t = engine.Tariffs(1).Head(); t != nullptr; t = t->next) {
        walked += std::to_string(t->zone);
    }
    EXPECT_EQ(walked,
              "78"
              "123"
              "312");
    EXPECT_EQ(engine.Prefixes().LineOf(1), 3);  // the blank line is counted, not kept
    EXPECT_TRUE(engine.Codes(0).Empty());       // never named by prefix.dat
    EXPECT_TRUE(engine.Codes(100).Empty());
    EXPECT_TRUE(engine.Tariffs(-1).Empty());
}

}  // namespace
}  // namespace miradel
