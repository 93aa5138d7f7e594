// Malformed tariff files are refused at load with the load error of the file concerned and a
// detail that names the file and the line; sound files in their usual variations load.

#include <gtest/gtest.h>

#include <string>

#include "TariffFolder.h"
#include "tariff/TextLines.h"

namespace miradel {
namespace {

using testing::TariffFolder;

std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line;
    }
    return text;
}

const std::string kPrefixes = "8-1-11-4\n";
const std::string kCodes = "495 2 Moscow\n";
// Zone 2 at 100 on ordinary days and 200 on preferential days, all day.
const std::string kTariffs = "T2" + Lines(24, " 100") + "\nT2" + Lines(24, " 200") + "\n";

TEST(TariffFiles, MalformedLinesAreRefusedNamingFileAndLine) {
    const std::string prices23 = "T2" + Lines(23, " 5") + "\n";
    const struct {
        const char* what;
        std::string file;
        std::string content;
        const char* text;
        std::string detail;
    } cases[] = {
        {"three prefix fields", "prefix.dat", "8-1-11\n", "Error load Prefix",
         "prefix.dat, line 1: 3 fields, 4 needed (prefix-N-number length-analysis length)"},
        {"separator at the end is no field", "prefix.dat", "8-1-11-\n", "Error load Prefix",
         "prefix.dat, line 1: 3 fields"},
        {"zone-file number out of range", "prefix.dat", Lines(16, kPrefixes) + "7-120-11-4\n",
         "Error load Prefix", "prefix.dat, line 17: zone-file number 120 is outside 0..99"},
        {"zone-file number with a plus sign", "prefix.dat", "7-+100-11-4\n", "Error load Prefix",
         "prefix.dat, line 1: zone-file number 100 is outside 0..99"},
        {"prefix text of 16", "prefix.dat", "1234567890123456-1-11-4\n", "Error load Prefix",
         "prefix.dat, line 1: prefix text \"1234567890123456\" has 16 characters, at most 15"},
        {"prefix line of 64", "prefix.dat", "8-1-11-4" + std::string(55, ' ') + "\n",
         "Error load Prefix", "prefix.dat, line 1: 64 characters with the line end, at most 63"},
        {"two code fields", "kz_1.dat", "495 2\n", "Error load KodZona",
         "kz_1.dat, line 1: 2 fields, 3 needed (code zone name)"},
        {"tabs do not separate", "kz_1.dat", "495\t2\tMoscow\n", "Error load KodZona",
         "kz_1.dat, line 1: 1 field, 3 needed"},
        {"code of 32", "kz_1.dat", kCodes + std::string(32, '7') + " 2 X\n", "Error load KodZona",
         "kz_1.dat, line 2: code \"" + std::string(32, '7') + "\" has 32 characters, at most 31"},
        {"name of 32", "kz_1.dat", "495 2 " + std::string(32, 'n') + "\n", "Error load KodZona",
         "kz_1.dat, line 1: name \"" + std::string(32, 'n') + "\" has 32 characters, at most 31"},
        {"code line of 64", "kz_1.dat", "495 2 Moscow" + std::string(51, ' ') + "\n",
         "Error load KodZona", "kz_1.dat, line 1: 64 characters with the line end, at most 63"},
        {"23 prices", "zt_1.dat", kTariffs + prices23 + prices23, "Error load ZonaTarif",
         "zt_1.dat, line 3: 24 fields, 25 needed (marker and zone, 24 prices)"},
        {"tariff line of 512", "zt_1.dat", "T2" + std::string(509, ' ') + "\n" + kTariffs,
         "Error load ZonaTarif", "zt_1.dat, line 1: 512 characters with the line end, at most 511"},
        {"record zones differ", "zt_1.dat",
         kTariffs + "T3 1" + Lines(23, " 1") + "\nT4" + Lines(24, " 1") + "\n",
         "Error BUILDERTARIF",
         "zt_1.dat, lines 3 and 4: zone 3 on the ordinary line, 4 on the preferential line"},
    };
    for (const auto& c : cases) {
        TariffFolder folder;
        folder.WriteSet(kPrefixes, 1, kCodes, kTariffs);
        folder.Write(c.file, c.content);
        const TariffLoad load = folder.Load();
        ASSERT_FALSE(load.engine) << c.what;
        EXPECT_EQ(load.error->text, c.text) << c.what;
        EXPECT_TRUE(load.error->detail.starts_with(c.detail))
            << c.what << ": " << load.error->detail;
    }
}

TEST(TariffFiles, LinesAtTheirLimitsLoad) {
    TariffFolder folder;
    const std::string prefix15 = "123456789012345";
    const std::string code31(31, '4');
    // Each first line has 63 characters with its line end, the tariff lines 511.
    folder.WriteSet(
        prefix15 + "-1-11-4" + std::string(40, ' ') + "\n", 1,
        code31 + " 2 " + std::string(28, 'n') + "\n" + "4 2 " + std::string(31, 'm') + "\n",
        Lines(2, "T2" + Lines(24, " 1") + std::string(460, ' ') + "\n"));
    const TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine) << load.error->detail;
    EXPECT_EQ(load.engine->Prefixes()[0].text, prefix15);
    EXPECT_EQ(load.engine->Codes(1)[0].code, code31);
    EXPECT_EQ(load.engine->Codes(1)[1].name, std::string(31, 'm'));
    EXPECT_EQ(load.engine->Tariffs(1).Size(), 1u);
}

TEST(TariffFiles, BlankLinesCrLfAndAMissingFinalLineEndAreAccepted) {
    const struct {
        const char* what;
        std::string prefixes, codes, tariffs;
    } cases[] = {
        {"plain", "8-1-11-4\n", "495 2 Moscow\n", kTariffs},
        {"no final line end", "8-1-11-4", "495 2 Moscow", kTariffs.substr(0, kTariffs.size() - 1)},
        {"blank lines", "\n  \n8-1-11-4\n\t\n", "\n495 2 Moscow\n \n", "\n" + kTariffs + "\n\n"},
        {"blank line inside a record", "8-1-11-4\n", "495 2 Moscow\n",
         "T2" + Lines(24, " 100") + "\n\nT2" + Lines(24, " 200") + "\n"},
        {"CR LF", "8-1-11-4\r\n", "495 2 Moscow\r\n",
         "T2" + Lines(24, " 100") + "\r\nT2" + Lines(24, " 200") + "\r\n"},
        {"runs of separators", "--8---1--11-4-\n", "  495   2  Moscow  \n",
         "  T2  " + Lines(24, " 100 ") + "\nT2" + Lines(24, "  200") + "\n"},
    };
    for (const auto& c : cases) {
        TariffFolder folder;
        folder.WriteSet(c.prefixes, 1, c.codes, c.tariffs);
        const TariffLoad load = folder.Load();
        ASSERT_TRUE(load.engine) << c.what << ": " << load.error->detail;
        const TRFTOR& engine = *load.engine;
        ASSERT_EQ(engine.Prefixes().Size(), 1u) << c.what;
        const Prefx& prefix = engine.Prefixes()[0];
        EXPECT_EQ(prefix.text, "8") << c.what;
        EXPECT_EQ(prefix.textLength, 1) << c.what;
        EXPECT_EQ(prefix.zoneFile, 1) << c.what;
        EXPECT_EQ(prefix.numberLength, 11) << c.what;
        EXPECT_EQ(prefix.analysisLength, 4) << c.what;
        ASSERT_EQ(engine.Codes(1).Size(), 1u) << c.what;
        const KZona& code = engine.Codes(1)[0];
        EXPECT_EQ(code.code, "495") << c.what;
        EXPECT_EQ(code.zone, 2) << c.what;
        EXPECT_EQ(code.name, "Moscow") << c.what;  // the name never keeps the line end
        EXPECT_EQ(code.zoneFile, 1) << c.what;
        ASSERT_EQ(engine.Tariffs(1).Size(), 1u) << c.what;
        EXPECT_EQ(engine.Tariffs(1)[0].zone, 2) << c.what;
        EXPECT_EQ(engine.Tariffs(1)[0].ordinary[5], 100) << c.what;
        EXPECT_EQ(engine.Tariffs(1)[0].preferential[23], 200) << c.what;
    }
}

TEST(TariffFiles, NumberFieldsFollowTheNumberRule) {
    TariffFolder folder;
    folder.WriteSet("8-x1-11 digits-+4\n", 0, "495 zone Moscow\n",
                    "T" + Lines(24, " 7") + "\nT0" + Lines(23, " 9") + " -3\n");
    const TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine) << load.error->detail;
    const Prefx& prefix = load.engine->Prefixes()[0];
    EXPECT_EQ(prefix.zoneFile, 0);  // no digits read as 0
    EXPECT_EQ(prefix.numberLength, 11);
    EXPECT_EQ(prefix.analysisLength, 4);
    EXPECT_EQ(load.engine->Codes(0)[0].zone, 0);
    const ZonaTarif& record = load.engine->Tariffs(0)[0];
    EXPECT_EQ(record.zone, 0);  // a marker alone gives zone 0
    EXPECT_EQ(record.ordinary[0], 7);
    EXPECT_EQ(record.preferential[23], -3);
}

TEST(TariffTextLines, CutLinesAsTextModeReadsThem) {
    const std::vector<TextLine> lines = SplitLines("a\r\nb\n\nc\rd\ne");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "a");
    EXPECT_EQ(lines[0].raw, "a\r\n");
    EXPECT_EQ(lines[0].LengthWithLineEnd(), 2u);
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].text, "c\rd");  // a CR alone is an ordinary character
    EXPECT_EQ(lines[4].text, "e");
    EXPECT_FALSE(lines[4].hasLineEnd);
    EXPECT_EQ(lines[4].number, 5);
    EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace miradel
