// The COM port window and the printer setup window offscreen: their texts, and the buttons
// reaching the model (the image for the COM ports, app.cfg and printer.cfg for the printer).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/config/StateFiles.h"
#include "app/ui/ComPortWindow.h"
#include "app/ui/PrinterSetupWindow.h"
#include "app/ui/PrinterTargetDialog.h"
#include "common/AtomicFile.h"
#include "support/OffscreenApp.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

QStringList Labels(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);  // as typed: the model hears of it
}

void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

struct SetupWindows : ::testing::Test {
    SetupWindows() {
        testing::OffscreenApp();
        AppConfigData image = AppConfigData::Defaults();
        image.Set(kComPortFiscal, 3);
        image.Set(kColumnDistance, 5);
        config.Load(image);
        WriteFileAtomically(dir / kAppCfgName, image.bytes().data(), image.bytes().size());
    }
    testing::TempDir dir;
    AppConfig config;
};

TEST_F(SetupWindows, ComPortWindowAppliesToTheImageAndPortsCfg) {
    ComPortWindow window(config, dir.path());
    window.show();
    EXPECT_EQ(window.windowTitle(), "COM-port");
    for (const char* caption : {"COM - АПП", "COM - ККМ", "COM - ЖКИ+DTMF"}) {
        EXPECT_TRUE(Labels(window).contains(caption)) << caption;
    }
    EXPECT_EQ(window.ApplyButton()->text(), "Применить");
    EXPECT_EQ(window.CloseButton()->text(), "Закрыть");
    ASSERT_EQ(window.PortList(1)->count(), 8);
    EXPECT_EQ(window.PortList(1)->currentText(), "COM4");
    EXPECT_EQ(window.DeviceEdit(1)->placeholderText(), "/dev/ttyS3");

    Choose(window.PortList(0), 6);
    Type(window.DeviceEdit(0), "ttyUSB0");
    window.ApplyButton()->click();
    EXPECT_TRUE(window.Message()->text().contains("COM7"));
    EXPECT_FALSE(config.Dirty());

    Type(window.DeviceEdit(0), "/dev/ttyUSB0");
    window.ApplyButton()->click();
    EXPECT_EQ(window.Message()->text(), "");
    EXPECT_TRUE(config.Dirty());
    EXPECT_EQ(config.Get(kComPortApp), 6);
    EXPECT_EQ(LoadPortMap(dir.path()).map.DevicePath(6), "/dev/ttyUSB0");
    EXPECT_TRUE(window.isVisible());  // "Применить" leaves the window open
    window.CloseButton()->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SetupWindows, PrinterSetupWindowSavesThroughAppCfg) {
    PrinterSetupWindow window(config, dir.path());
    window.show();
    EXPECT_EQ(window.windowTitle(), "Setup Printer");
    for (const char* caption : {"Колонки", "Дистанция - ", "Протяжка - "}) {
        EXPECT_TRUE(Labels(window).contains(caption)) << caption;
    }
    EXPECT_EQ(window.ColumnsList()->itemText(0), "1 колонка");
    EXPECT_EQ(window.ColumnsList()->itemText(1), "2 колонки");
    for (auto [button, text] : {std::pair{window.FontButton(), "Font's"},
                                {window.PrinterButton(), "Printer"},
                                {window.OkButton(), "OK"},
                                {window.CancelButton(), "Cancel"}}) {
        EXPECT_EQ(button->text(), text);
    }
    EXPECT_EQ(window.DistanceEdit()->text(), "5");
    EXPECT_EQ(window.PrinterText()->text(), "CUPS: default printer");

    QFont font("Monospace");
    font.setPixelSize(20);
    font.setBold(true);
    window.ApplyChosenFont(font);
    EXPECT_EQ(window.Model().Font().height, 20);
    EXPECT_EQ(window.Model().Font().style, kFontBold);

    window.ApplyPrinterChoice({PrinterKind::kSpool, "receipts", "", PrinterEncoding::kCp1251, 10});
    EXPECT_EQ(window.PrinterText()->text(), "Spool folder: receipts");
    EXPECT_EQ(LoadPrinterConfig(dir.path()).config.target, "receipts");

    Type(window.DistanceEdit(), "abc");
    Type(window.FeedEdit(), "2");
    Choose(window.ColumnsList(), 1);
    window.OkButton()->click();
    EXPECT_TRUE(window.isVisible());  // stays open to show the kept value
    EXPECT_TRUE(window.Message()->text().contains("Дистанция - "));
    EXPECT_EQ(window.DistanceEdit()->text(), "5");
    Type(window.DistanceEdit(), "8");
    window.OkButton()->click();
    EXPECT_FALSE(window.isVisible());
    const AppConfigData saved = config.Copy();
    EXPECT_EQ(saved.Get(kReceiptColumns), 1);
    EXPECT_EQ(saved.Get(kColumnDistance), 8);
    EXPECT_EQ(saved.Get(kFeedLines), 2);
    EXPECT_FALSE(config.Dirty());  // written to app.cfg at once
}

TEST_F(SetupWindows, PrinterChoiceNeedsAPathForADeviceFile) {
    PrinterTargetDialog dialog(PrinterConfig{}, {"Receipts"});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Printer");
    ASSERT_EQ(dialog.TargetList()->count(), 4);
    EXPECT_EQ(dialog.TargetList()->itemText(1), "CUPS: Receipts");
    EXPECT_FALSE(dialog.DeviceEdit()->isEnabled());
    Choose(dialog.TargetList(), 2);
    EXPECT_TRUE(dialog.DeviceEdit()->isEnabled());
    dialog.OkButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.Message()->text(), "");
    Type(dialog.DeviceEdit(), "/dev/usb/lp0");
    dialog.OkButton()->click();
    ASSERT_TRUE(dialog.Chosen());
    EXPECT_EQ(dialog.Chosen()->kind, PrinterKind::kDevice);
    EXPECT_EQ(dialog.Chosen()->target, "/dev/usb/lp0");
}

}  // namespace
}  // namespace miradel
