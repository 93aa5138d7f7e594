// The COM port window's rules: three port choices from the app.cfg image, the device paths of
// ports.cfg beside them, and "Применить" that changes only the image and writes ports.cfg.
#include "app/options/ComPortModel.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

struct ComPortWindowRules : ::testing::Test {
    ComPortWindowRules() {
        AppConfigData image = AppConfigData::Defaults();
        image.Set(kComPortApp, 2);
        image.Set(kComPortFiscal, 5);
        image.Set(kComPortLcd, 7);
        config.Load(image);
        WriteFileAtomically(dir / kAppCfgName, image.bytes().data(), image.bytes().size());
        WritePorts("# our adapters\nCOM3=/dev/ttyUSB0\nCOM8 = /dev/ttyACM1\n");
    }
    void WritePorts(const std::string& text) {
        WriteFileAtomically(dir / std::string(kPortMapFileName),
                            reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    std::string Read(const std::string& name) {
        const auto bytes = ReadWholeFile(dir / name);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
    }
    ComPortModel& Model() { return model ? *model : model.emplace(config, dir.path()); }

    testing::TempDir dir;
    AppConfig config;
    std::optional<ComPortModel> model;
};

TEST_F(ComPortWindowRules, FillsTheChoicesFromTheImageAndThePathsFromPortsCfg) {
    EXPECT_EQ(ComPortModel::Caption(0), "COM - АПП");
    EXPECT_EQ(ComPortModel::Caption(1), "COM - ККМ");
    EXPECT_EQ(ComPortModel::Caption(2), "COM - ЖКИ+DTMF");
    EXPECT_EQ(ComPortModel::Caption(3), "");
    const auto& names = ComPortModel::PortNames();
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names.front(), "COM1");
    EXPECT_EQ(names.back(), "COM8");

    EXPECT_EQ(Model().Port(0), 2);
    EXPECT_EQ(Model().Port(1), 5);
    EXPECT_EQ(Model().Port(2), 7);
    EXPECT_EQ(Model().DevicePath(0), "/dev/ttyUSB0");
    EXPECT_EQ(Model().DevicePath(1), "");  // not mapped: the default device
    EXPECT_EQ(Model().DefaultDevice(1), "/dev/ttyS5");
    EXPECT_EQ(Model().DevicePath(2), "/dev/ttyACM1");

    // The path follows the port chosen, and two choices on one port share it.
    Model().SetPort(1, 2);
    EXPECT_EQ(Model().DevicePath(1), "/dev/ttyUSB0");
    Model().SetDevicePath(1, "/dev/ttyUSB9");
    EXPECT_EQ(Model().DevicePath(0), "/dev/ttyUSB9");
}

TEST_F(ComPortWindowRules, InputOutOfRangeIsIgnoredAndAPortlessNumberIsKept) {
    config.Set(kComPortFiscal, 12);
    config.Set(kComPortLcd, -1);
    EXPECT_EQ(Model().Port(1), -1);
    EXPECT_EQ(Model().DevicePath(1), "");
    EXPECT_EQ(Model().DefaultDevice(1), "");
    Model().SetDevicePath(1, "/dev/ttyUSB5");  // no port to map
    for (int bad : {-1, 8, 100}) {
        Model().SetPort(0, bad);
        Model().SetPort(bad, 1);
    }
    EXPECT_EQ(Model().Port(0), 2);
    EXPECT_EQ(Model().Port(-1), -1);
    EXPECT_EQ(Model().DevicePath(7), "");

    ASSERT_EQ(Model().Apply(), "");
    EXPECT_EQ(config.Get(kComPortApp), 2);
    EXPECT_EQ(config.Get(kComPortFiscal), 12);
    EXPECT_EQ(config.Get(kComPortLcd), -1);
}

TEST_F(ComPortWindowRules, ApplyChangesOnlyTheImageAndRaisesTheDirtyFlag) {
    const std::string appCfgBefore = Read(kAppCfgName);
    const std::string portsBefore = Read(std::string(kPortMapFileName));
    const AppConfigData before = config.Copy();
    Model().SetPort(0, 0);
    Model().SetPort(1, 3);
    Model().SetPort(2, 1);
    ASSERT_EQ(Model().Apply(), "");

    EXPECT_TRUE(config.Dirty());
    AppConfigData expected = before;
    expected.Set(kComPortApp, 0);
    expected.Set(kComPortFiscal, 3);
    expected.Set(kComPortLcd, 1);
    EXPECT_EQ(config.Copy().bytes(), expected.bytes());
    EXPECT_EQ(Read(kAppCfgName), appCfgBefore);  // the save timer writes it, not the window
    EXPECT_EQ(Read(std::string(kPortMapFileName)), portsBefore);  // no path was touched
}

TEST_F(ComPortWindowRules, EditedPathsAreWrittenToPortsCfg) {
    Model().SetDevicePath(0, "  /dev/serial/by-id/usb-booths  ");  // COM3, blanks dropped
    Model().SetDevicePath(1, "/dev/ttyUSB1");                      // COM6, newly mapped
    Model().SetDevicePath(2, "");                                  // COM8 back to its default
    ASSERT_EQ(Model().Apply(), "");

    const PortMapLoad load = LoadPortMap(dir.path());
    EXPECT_TRUE(load.issues.empty());
    EXPECT_EQ(load.map.DevicePath(2), "/dev/serial/by-id/usb-booths");
    EXPECT_EQ(load.map.DevicePath(5), "/dev/ttyUSB1");
    EXPECT_FALSE(load.map.IsOverridden(7));
    EXPECT_EQ(Model().DevicePath(0), "/dev/serial/by-id/usb-booths");
    for (int p : {0, 1, 3, 4, 6}) {
        EXPECT_FALSE(load.map.IsOverridden(p)) << p;
    }
}

TEST_F(ComPortWindowRules, APathThatIsNotAbsoluteStoresNothing) {
    const std::string portsBefore = Read(std::string(kPortMapFileName));
    const AppConfigData before = config.Copy();
    for (const char* bad :
         {"ttyUSB0", "dev/ttyUSB0", "./ttyUSB0", "~/tty", "/dev/tty\nCOM1=/x", "/dev/\ttty"}) {
        SCOPED_TRACE(bad);
        model.reset();
        Model().SetPort(0, 4);
        Model().SetDevicePath(0, bad);
        const std::string error = Model().Apply();
        EXPECT_NE(error.find("COM5"), std::string::npos) << error;
        EXPECT_FALSE(config.Dirty());
        EXPECT_EQ(config.Copy().bytes(), before.bytes());
        EXPECT_EQ(Read(std::string(kPortMapFileName)), portsBefore);
    }
}

TEST_F(ComPortWindowRules, PortsCfgThatCannotBeWrittenStoresNothing) {
    model.emplace(config, dir / "no-such-folder");
    model->SetPort(0, 1);
    model->SetDevicePath(0, "/dev/ttyUSB3");
    EXPECT_NE(model->Apply().find("ports.cfg"), std::string::npos);
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(config.Get(kComPortApp), 2);
}

TEST_F(ComPortWindowRules, UnreadableLinesAreShownAndTheFileKeptUntilAPathChanges) {
    WritePorts("COM9=/dev/x\nCOM2=relative\nCOM1=/dev/ttyUSB7\n");
    const std::string portsBefore = Read(std::string(kPortMapFileName));
    ASSERT_EQ(Model().PortMapProblems().size(), 2u);
    EXPECT_NE(Model().PortMapProblems()[0].find(":1:"), std::string::npos);
    ASSERT_EQ(Model().Apply(), "");
    EXPECT_EQ(Read(std::string(kPortMapFileName)), portsBefore);
}

}  // namespace
}  // namespace miradel
