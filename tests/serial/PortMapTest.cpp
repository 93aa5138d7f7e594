#include "controller/PortMap.h"

#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace miradel {
namespace {

using ::testing::HasSubstr;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(PortMapTest, EachPortDefaultsToItsTtyS) {
    const PortMap map;
    for (int index = 0; index < kComPortCount; ++index) {
        EXPECT_EQ(map.DevicePath(index), "/dev/ttyS" + std::to_string(index));
        EXPECT_EQ(ComPortName(index), "COM" + std::to_string(index + 1));
        EXPECT_FALSE(map.IsOverridden(index));
    }
    // An index the settings cannot name is no port at all.
    for (int index : {-1, 8, 255}) {
        EXPECT_EQ(map.DevicePath(index), std::nullopt);
        EXPECT_EQ(ComPortName(index), "");
    }
}

TEST(PortMapTest, AMissingFileGivesTheDefaults) {
    testing::TempDir folder;
    const PortMapLoad load = LoadPortMap(folder.path());
    EXPECT_FALSE(load.fileFound);
    EXPECT_TRUE(load.issues.empty());
    EXPECT_EQ(load.map.DevicePath(0), "/dev/ttyS0");
}

TEST(PortMapTest, OverridesCommentsBlanksAndLaterLinesWin) {
    testing::TempDir folder;
    WriteText(folder / "ports.cfg",
              "# booth controller on a USB adapter\r\n"
              "\n"
              "COM1=/dev/ttyUSB0\r\n"
              "   com3 =  /dev/serial/by-id/usb-FTDI_FT232R-if00-port0  \n"
              "COM1=/dev/ttyUSB1\n"
              "   # indented comment\n"
              "COM8=/dev/pts/7");
    const PortMapLoad load = LoadPortMap(folder.path());
    EXPECT_TRUE(load.fileFound);
    EXPECT_TRUE(load.issues.empty()) << load.issues.front().Text();
    EXPECT_EQ(load.map.DevicePath(0), "/dev/ttyUSB1");
    EXPECT_EQ(load.map.DevicePath(1), "/dev/ttyS1");
    EXPECT_EQ(load.map.DevicePath(2), "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(load.map.DevicePath(7), "/dev/pts/7");
    EXPECT_TRUE(load.map.IsOverridden(2));
    EXPECT_FALSE(load.map.IsOverridden(1));
}

TEST(PortMapTest, BadLinesAreReportedWithFileAndLineAndSkipped) {
    struct Case {
        std::string line;
        std::string reason;
    };
    const Case cases[] = {
        {"COM1 /dev/ttyUSB0", "expected COMn=/dev/..."},
        {"COM9=/dev/ttyUSB0", "unknown port \"COM9\""},
        {"COM0=/dev/ttyUSB0", "unknown port \"COM0\""},
        {"LPT1=/dev/lp0", "unknown port \"LPT1\""},
        {"=/dev/ttyUSB0", "unknown port \"\""},
        {"COM2=", "no device given for COM2"},
        {"COM2=ttyUSB0", "is not an absolute path"},
        {std::string("COM2\x01\xFF=x"), "unknown port \"COM2?"},
    };
    for (const Case& c : cases) {
        const PortMapLoad load = ParsePortMap(
            "COM4=/dev/ttyUSB4\n\n" + c.line + "\nCOM5=/dev/ttyUSB5\n", "/office/ports.cfg");
        ASSERT_EQ(load.issues.size(), 1u) << c.line;
        EXPECT_EQ(load.issues[0].line, 3);
        EXPECT_THAT(load.issues[0].Text(), HasSubstr("/office/ports.cfg:3: "));
        EXPECT_THAT(load.issues[0].reason, HasSubstr(c.reason));
        // The good lines around it still count; the bad one changes nothing.
        EXPECT_EQ(load.map.DevicePath(3), "/dev/ttyUSB4");
        EXPECT_EQ(load.map.DevicePath(4), "/dev/ttyUSB5");
        EXPECT_EQ(load.map.DevicePath(1), "/dev/ttyS1");
    }
}

TEST(PortMapTest, AFileThatCannotBeReadIsReportedAndDefaultsApply) {
    testing::TempDir folder;
    std::filesystem::create_directory(folder / "ports.cfg");
    const PortMapLoad load = LoadPortMap(folder.path());
    ASSERT_EQ(load.issues.size(), 1u);
    EXPECT_THAT(load.issues[0].Text(), HasSubstr("ports.cfg: cannot be read"));
    EXPECT_EQ(load.map.DevicePath(0), "/dev/ttyS0");
}

TEST(PortMapTest, SavedMapLoadsBackTheSame) {
    testing::TempDir folder;
    PortMap map;
    ASSERT_TRUE(map.SetDevicePath(0, "/dev/ttyUSB0"));
    ASSERT_TRUE(map.SetDevicePath(5, "/dev/ttyACM1"));
    ASSERT_TRUE(map.SetDevicePath(6, "/dev/ttyS2"));
    map.ResetToDefault(6);
    EXPECT_FALSE(map.SetDevicePath(1, "relative/path"));
    EXPECT_FALSE(map.SetDevicePath(8, "/dev/ttyUSB8"));

    ASSERT_EQ(SavePortMap(map, folder.path()), "");
    EXPECT_EQ(FormatPortMap(map).find("COM7"), std::string::npos);
    const PortMapLoad load = LoadPortMap(folder.path());
    EXPECT_TRUE(load.issues.empty());
    for (int index = 0; index < kComPortCount; ++index) {
        EXPECT_EQ(load.map.DevicePath(index), map.DevicePath(index)) << index;
        EXPECT_EQ(load.map.IsOverridden(index), map.IsOverridden(index)) << index;
    }
    EXPECT_THAT(SavePortMap(map, folder / "missing-folder"), HasSubstr("missing-folder"));
}

}  // namespace
}  // namespace miradel
