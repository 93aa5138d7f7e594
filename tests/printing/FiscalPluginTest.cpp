// Loading driver plug-ins: the real emulator libraries, and libraries that are no driver.

#include "printing/FiscalPlugin.h"

#include <gtest/gtest.h>

#include "FiscalTestEnv.h"
#include "printing/FiscalDriverAbi.h"

namespace miradel {
namespace {

using testing::TempDir;

TEST(FiscalPluginTest, LoadsThe130EmulatorAndTalksToIt) {
    TempDir dir;
    M130PluginLoad load = LoadM130Plugin(MIRADEL_EMU_M130F, {dir.path(), ""});
    ASSERT_TRUE(load.driver) << load.error;
    EXPECT_FALSE(load.driver->IsOpen());
    EXPECT_NE(load.driver->PrintText("x"), 0) << "no connection yet";
    ASSERT_TRUE(load.driver->Open(2));
    const M130Driver::Answer serial = load.driver->SerialNumber();
    EXPECT_EQ(serial.code, 0);
    EXPECT_EQ(serial.text, "00130001");
    EXPECT_EQ(load.driver->PrintText("HELLO"), 0);
    load.driver->Close();
    EXPECT_FALSE(load.driver->IsOpen());
    EXPECT_EQ(testing::ReadLines(dir / "m130f-emu.tape"), (std::vector<std::string>{"HELLO"}));
}

TEST(FiscalPluginTest, LoadsThe114EmulatorAndTalksToIt) {
    TempDir dir;
    M114PluginLoad load = LoadM114Plugin(MIRADEL_EMU_M114F, {dir.path(), "model 4"});
    ASSERT_TRUE(load.component) << load.error;
    M114Component& c = *load.component;
    EXPECT_THROW(c.XReport(), M114Error) << "not open yet";
    c.SetPortNum(2);
    c.SetBaudRate(9600);
    c.SetPassword("");
    c.Open();
    EXPECT_EQ(c.Model(), 4) << "options reach the driver";
    c.PrintNonFiscal("ТЕСТ\r\n", MIRADEL_M114_NONFISCAL_FIRST | MIRADEL_M114_NONFISCAL_LAST);
    try {
        c.CloseFiscalDoc();
        ADD_FAILURE() << "no fiscal document is open";
    } catch (const M114Error& error) {
        EXPECT_EQ(error.code(), 8);
    }
}

struct BadPlugin {
    const char* name;
    std::string library;  // empty: a text file posing as a library
    bool m114;
    std::string error;
};

class BadPluginTest : public ::testing::TestWithParam<BadPlugin> {};

TEST_P(BadPluginTest, GivesNoDriverAndSaysWhatWasNotFound) {
    const BadPlugin& p = GetParam();
    TempDir dir;
    std::filesystem::path library = p.library;
    if (library.empty()) {
        library = dir / "driver.so";
        testing::WriteText(library, "not an ELF file");
    }
    std::string error;
    bool loaded = false;
    if (p.m114) {
        M114PluginLoad load = LoadM114Plugin(library, {dir.path(), ""});
        loaded = load.component != nullptr;
        error = load.error;
    } else {
        M130PluginLoad load = LoadM130Plugin(library, {dir.path(), ""});
        loaded = load.driver != nullptr;
        error = load.error;
    }
    EXPECT_FALSE(loaded);
    EXPECT_NE(error.find(p.error), std::string::npos) << error;
    EXPECT_NE(error.find(library.string()), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, BadPluginTest,
    ::testing::Values(
        BadPlugin{"Missing", "/nonexistent/miradel-driver.so", false, "Не найден драйвер ККМ"},
        BadPlugin{"NotALibrary", "", true, "Драйвер ККМ не загружается"},
        BadPlugin{"NoEntry130", MIRADEL_TEST_PLUGIN_NOENTRY, false,
                  "нет точки входа miradel_m130_driver"},
        BadPlugin{"NoEntry114", MIRADEL_TEST_PLUGIN_NOENTRY, true,
                  "нет точки входа miradel_m114_driver"},
        BadPlugin{"OtherModel", MIRADEL_EMU_M130F, true, "нет точки входа miradel_m114_driver"},
        BadPlugin{"OtherVersion", MIRADEL_TEST_PLUGIN_PARTIAL, false,
                  "несовместим: версия интерфейса 99, нужна 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FiscalPluginTest, OperationsADriverLeavesOutFailAsNotSupported) {
    TempDir dir;
    M114PluginLoad load = LoadM114Plugin(MIRADEL_TEST_PLUGIN_PARTIAL, {dir.path(), ""});
    ASSERT_TRUE(load.component) << load.error;
    load.component->Open();
    EXPECT_EQ(load.component->Model(), 0);
    EXPECT_EQ(load.component->Cutter(), 0);
    try {
        load.component->XReport();
        ADD_FAILURE() << "x_report is not in the table";
    } catch (const M114Error& error) {
        EXPECT_EQ(error.code(), 11);
        EXPECT_EQ(error.extended(), 0);
    }
}

}  // namespace
}  // namespace miradel
