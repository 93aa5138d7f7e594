#include "app/config/AppConfig.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

// The default image written down byte by byte, independently of the field table.
std::vector<uint8_t> ExpectedDefaultImage() {
    std::vector<uint8_t> b(632, 0);
    auto i32 = [&](std::size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            b[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    auto i16 = [&](std::size_t at, uint16_t v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto text = [&](std::size_t at, const char* s) { std::memcpy(&b[at], s, std::strlen(s)); };
    i32(4, 2);
    i32(48, 1);
    i32(56, 3);
    i32(64, 1);
    i32(76, 100);
    i32(80, 0x40000000);  // 2.0f
    i32(84, 10);
    i32(88, 20);
    i32(92, 0xFFFFFFFF);
    std::memset(&b[108], '0', 24);
    i32(132, 1);
    i16(138, 1);
    text(140, "0");
    text(164, "010");
    i32(192, 2000000);
    text(196, "around.waw");
    i16(328, 1);
    std::memset(&b[340], '0', 32);
    text(378, "01600");
    i32(404, 1);
    text(415, "127.0.0.1");
    i16(480, 20);
    i32(488, 1);
    i32(492, 2);
    i16(500, 1);
    text(502, "\xC7\xE0\xEA\xE0\xE7");  // "Заказ" in Windows-1251
    i16(526, 17);
    for (int k = 0; k < 16; ++k)
        b[530 + k] = static_cast<uint8_t>(k);
    i32(556, 1);
    i16(560, 1);
    i32(564, 5);
    i32(568, 24);
    i16(572, 1);
    text(574, "5826");
    i32(604, 180);
    i32(612, 1);
    return b;
}

TEST(AppConfig, MissingFileIsCreatedWithTheDefaultImage) {
    testing::TempDir dir;
    AppConfig config;
    const AppConfigLoad load = LoadAppConfig(dir.path(), config);
    EXPECT_TRUE(load.createdWithDefaults);
    EXPECT_EQ(load.writeError, "");
    EXPECT_FALSE(config.Dirty());

    const auto file = ReadWholeFile(dir / "app.cfg");
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, ExpectedDefaultImage());

    EXPECT_EQ(config.Get(kAroundHours), std::string(24, '0'));
    EXPECT_EQ(config.Get(kOrderSectionName), "Заказ");
    EXPECT_FLOAT_EQ(config.Get(kFaxCoefficient), 2.0f);
    EXPECT_EQ(config.Get(kAroundPanel), -1);
    const auto lamps = config.Get(kLampMap);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(lamps[k], k);
}

TEST(AppConfig, ExistingFileIsReadAsItIsAndNotRewritten) {
    testing::TempDir dir;
    AppConfigData stored = AppConfigData::Defaults();
    stored.Set(kComPortApp, 3);
    stored.Set(kNextBoothReceipt, 4711);
    stored.Set(kGsmPrefix, "8");
    ASSERT_EQ(WriteFileAtomically(dir / "app.cfg", std::vector<uint8_t>(stored.bytes().begin(),
                                                                        stored.bytes().end())),
              "");
    AppConfig config;
    const AppConfigLoad load = LoadAppConfig(dir.path(), config);
    EXPECT_FALSE(load.createdWithDefaults);
    EXPECT_EQ(load.warning, "");
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(config.Get(kComPortApp), 3);
    EXPECT_EQ(config.Get(kNextBoothReceipt), 4711);
    EXPECT_EQ(config.Get(kGsmPrefix), "8");
}

TEST(AppConfig, ShortOrOversizedFileKeepsWhatItHoldsAndIsRewrittenWhole) {
    testing::TempDir dir;
    std::vector<uint8_t> shortFile(10, 0);
    shortFile[0] = 5;  // COM6
    ASSERT_EQ(WriteFileAtomically(dir / "app.cfg", shortFile), "");
    AppConfig config;
    const AppConfigLoad load = LoadAppConfig(dir.path(), config);
    EXPECT_NE(load.warning, "");
    EXPECT_EQ(config.Get(kComPortApp), 5);
    EXPECT_EQ(config.Get(kIdleMaxSeconds), 180);  // beyond the file: the default
    EXPECT_TRUE(config.Dirty());
    KassaImage kassa;
    KabinImage kabin;
    SaveTimer timer(dir.path(), config, kassa, kabin);
    timer.Fire();
    EXPECT_EQ(ReadWholeFile(dir / "app.cfg")->size(), 632u);

    std::vector<uint8_t> longFile(700, 0);
    longFile[0] = 7;
    ASSERT_EQ(WriteFileAtomically(dir / "app.cfg", longFile), "");
    AppConfig config2;
    EXPECT_NE(LoadAppConfig(dir.path(), config2).warning, "");
    EXPECT_EQ(config2.Get(kComPortApp), 7);
    EXPECT_FALSE(config2.Dirty());
}

TEST(AppConfig, TextFieldsHoldWidthLessOneCharactersInWindows1251) {
    AppConfigData d;
    d.Set(kGsmPrefix, std::string(40, '9'));
    EXPECT_EQ(d.Get(kGsmPrefix), std::string(23, '9'));
    EXPECT_EQ(d.bytes()[140 + 23], 0);

    d.Set(kOrderSectionName, "Междугородный заказ");  // 19 letters, each one byte on disk
    EXPECT_EQ(d.Get(kOrderSectionName), "Междугородный заказ");
    d.Set(kOrderSectionName, "Шестое");
    EXPECT_EQ(d.Get(kOrderSectionName), "Шестое");  // the longer old text is cleared
    EXPECT_EQ(d.bytes()[502 + 6], 0);
    EXPECT_EQ(d.bytes()[502 + 10], 0);

    // A damaged file with no terminator: the read stops at the field's end.
    AppConfigData::Bytes raw{};
    std::memset(&raw[140], 'A', 48);
    EXPECT_EQ(AppConfigData::FromBytes(raw).Get(kGsmPrefix), std::string(24, 'A'));
}

TEST(AppConfig, CountersAtTheirOffsets) {
    AppConfigData d;
    d.Set(kLastCollectedReceipt, 0x01020304);
    d.Set(kOperatorOnDuty, int16_t{-2});
    EXPECT_EQ(d.bytes()[404], 0x04);
    EXPECT_EQ(d.bytes()[407], 0x01);
    EXPECT_EQ(d.bytes()[560], 0xFE);
    EXPECT_EQ(d.bytes()[561], 0xFF);
    EXPECT_EQ(d.Get(kOperatorOnDuty), -2);
}

}  // namespace
}  // namespace miradel
