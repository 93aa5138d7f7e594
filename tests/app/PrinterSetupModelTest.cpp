// The printer setup window's rules: the receipt layout and the font saved through app.cfg at
// once, and the raw printer choice saved to printer.cfg.
#include "printing/raw/PrinterSetupModel.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "printing/raw/CupsQueues.h"
#include "printing/raw/PrinterTargetModel.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

// Printer settings in the order of the file's keys.
PrinterConfig Settings(PrinterKind kind, std::string target = {}, std::string server = {},
                       PrinterEncoding encoding = PrinterEncoding::kCp1251, int timeout = 10) {
    PrinterConfig c;
    c.kind = kind;
    c.target = std::move(target);
    c.server = std::move(server);
    c.encoding = encoding;
    c.timeoutSeconds = timeout;
    return c;
}

void ExpectSameSettings(const PrinterConfig& a, const PrinterConfig& b) {
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.target, b.target);
    EXPECT_EQ(a.server, b.server);
    EXPECT_EQ(a.encoding, b.encoding);
    EXPECT_EQ(a.timeoutSeconds, b.timeoutSeconds);
}

struct PrinterSetupRules : ::testing::Test {
    PrinterSetupRules() {
        AppConfigData image = AppConfigData::Defaults();
        image.Set(kReceiptColumns, 1);
        image.Set(kColumnDistance, 5);
        image.Set(kFeedLines, 3);
        image.Set(kNextBoothReceipt, 4711);  // a counter the window must not disturb
        config.Load(image);
        WriteAppCfg(AppConfigData::Defaults());  // older than the image: the image wins
    }
    void WriteAppCfg(const AppConfigData& data) {
        WriteFileAtomically(dir / kAppCfgName, data.bytes().data(), data.bytes().size());
    }
    std::optional<AppConfigData> FileImage() {
        const auto bytes = ReadWholeFile(dir / kAppCfgName);
        if (!bytes || bytes->size() != AppConfigData::kSize) {
            return std::nullopt;
        }
        AppConfigData::Bytes raw{};
        std::copy(bytes->begin(), bytes->end(), raw.begin());
        return AppConfigData::FromBytes(raw);
    }
    PrinterSetupModel& Model() { return model ? *model : model.emplace(config, dir.path()); }

    testing::TempDir dir;
    AppConfig config;
    std::optional<PrinterSetupModel> model;
};

TEST_F(PrinterSetupRules, ShowsTheLayoutFromTheImage) {
    EXPECT_EQ(Model().Columns(), 1);
    EXPECT_EQ(Model().DistanceText(), "5");
    EXPECT_EQ(Model().FeedText(), "3");
    EXPECT_STREQ(kColumnChoices[0], "1 колонка");
    EXPECT_STREQ(kColumnChoices[1], "2 колонки");

    Model().SetColumns(2);  // no such choice
    Model().SetColumns(-1);
    EXPECT_EQ(Model().Columns(), 1);
}

TEST_F(PrinterSetupRules, OkWritesTheThreeFieldsOverTheImageAtOnce) {
    const AppConfigData before = config.Copy();
    Model().SetColumns(0);
    Model().SetDistanceText(" 12 ");
    Model().SetFeedText("+4");
    const PrinterSetupOk ok = Model().Ok();
    EXPECT_TRUE(ok.written);
    EXPECT_TRUE(ok.rejected.empty());
    EXPECT_TRUE(ok.CloseWindow());
    EXPECT_EQ(ok.Report(), "");

    AppConfigData expected = before;
    expected.Set(kReceiptColumns, 0);
    expected.Set(kColumnDistance, 12);
    expected.Set(kFeedLines, 4);
    EXPECT_EQ(config.Copy().bytes(), expected.bytes());
    ASSERT_TRUE(FileImage());
    EXPECT_EQ(FileImage().value().bytes(),
              expected.bytes());  // every other byte as the image had it
    EXPECT_FALSE(config.Dirty());
    EXPECT_EQ(Model().DistanceText(), "12");
}

TEST_F(PrinterSetupRules, ANonNumberKeepsItsOldValueAndIsReported) {
    for (const char* bad : {"", "  ", "abc", "5x", "1.5", "-1", "+-2", "99999999999"}) {
        SCOPED_TRACE(bad);
        model.reset();
        Model().SetDistanceText(bad);
        Model().SetFeedText("7");
        const PrinterSetupOk ok = Model().Ok();
        EXPECT_TRUE(ok.written);
        ASSERT_EQ(ok.rejected, std::vector<std::string>{"Дистанция - "});
        EXPECT_FALSE(ok.CloseWindow());
        EXPECT_NE(ok.Report().find("\"Дистанция - \""), std::string::npos);
        EXPECT_EQ(config.Get(kColumnDistance), 5);
        EXPECT_EQ(config.Get(kFeedLines), 7);
        EXPECT_EQ(FileImage().value().Get(kFeedLines), 7);
        EXPECT_EQ(Model().DistanceText(), "5");  // the edit shows what was kept
    }
}

TEST_F(PrinterSetupRules, AColumnsValueThatIsNoChoiceIsKept) {
    config.Set(kReceiptColumns, 9);
    EXPECT_EQ(Model().Columns(), -1);
    EXPECT_TRUE(Model().Ok().written);
    EXPECT_EQ(FileImage().value().Get(kReceiptColumns), 9);
}

TEST_F(PrinterSetupRules, WithoutAppCfgNothingIsSavedAndTheWindowCloses) {
    std::filesystem::remove(dir / kAppCfgName);
    const AppConfigData before = config.Copy();
    Model().SetDistanceText("x");
    Model().SetFeedText("9");
    const PrinterSetupOk ok = Model().Ok();
    EXPECT_FALSE(ok.written);
    EXPECT_TRUE(ok.CloseWindow());
    EXPECT_FALSE(Model().ApplyFont(PrinterFont{0, 16, 96, 12, kFontBold}));
    EXPECT_EQ(config.Copy().bytes(), before.bytes());
    EXPECT_FALSE(config.Dirty());
    EXPECT_FALSE(std::filesystem::exists(dir / kAppCfgName));
}

TEST_F(PrinterSetupRules, TheChosenFontIsWrittenAtOnceWithFixedPitch) {
    const AppConfigData before = config.Copy();
    const PrinterFont font{0, 27, 120, 16, kFontItalic | kFontUnderline};
    ASSERT_TRUE(Model().ApplyFont(font));
    EXPECT_EQ(Model().Font(), font);
    AppConfigData expected = before;
    expected.Set(kFontHeight, 27);
    expected.Set(kFontPitch, uint8_t{2});
    expected.Set(kFontPixelsPerInch, 120);
    expected.Set(kFontSize, 16);
    expected.Set(kFontStyle, uint8_t{6});
    EXPECT_EQ(FileImage().value().bytes(), expected.bytes());
}

TEST(PrinterFontChoice, TakesEachSizeFromTheOtherWhenMissing) {
    struct Case {
        FontChoice choice;
        PrinterFont font;
    };
    const double huge = 1e300;
    for (const Case& c : std::vector<Case>{
             {{12, 0, 96}, {0, 16, 96, 12, 0}},
             {{10.5, 0, 120}, {0, 18, 120, 11, 0}},  // 17.5 px and 10.5 pt round up
             {{0, 20, 96}, {0, 20, 96, 15, 0}},
             {{9, 14, 0}, {0, 14, 96, 9, 0}},  // no resolution: 96
             {{-3, -3, 96}, {0, 0, 96, 0, 0}},
             {{huge, 0, 96}, {0, 2147483647, 96, 2147483647, 0}},
             {{8, 0, 96, true, false, false, true}, {0, 11, 96, 8, kFontBold | kFontStrikeOut}},
             {{8, 0, 96, true, true, true, true}, {0, 11, 96, 8, 15}},
         }) {
        const PrinterFont got = MakePrinterFont(c.choice);
        EXPECT_EQ(got, c.font) << c.choice.points << "pt " << c.choice.pixels
                               << "px: " << got.height << " " << got.size << " " << int(got.style);
    }
}

TEST(PrinterCfgFile, WhatIsSavedReadsBackTheSame) {
    testing::TempDir dir;
    for (const PrinterConfig& c : std::vector<PrinterConfig>{
             PrinterConfig{},
             Settings(PrinterKind::kCups, "Receipts", "printhost:6310", PrinterEncoding::kCp866, 3),
             Settings(PrinterKind::kDevice, "/dev/usb/lp0", "", PrinterEncoding::kCp1251, 120),
             Settings(PrinterKind::kSpool, "чеки = 2", "", PrinterEncoding::kCp1251, 1),
         }) {
        SCOPED_TRACE(c.target);
        ASSERT_EQ(SavePrinterConfig(c, dir.path()), "");
        const PrinterConfigLoad load = LoadPrinterConfig(dir.path());
        EXPECT_TRUE(load.problems.empty()) << load.problems.front();
        ExpectSameSettings(load.config, c);
    }
}

TEST(PrinterCfgFile, SettingsTheFileCannotHoldAreRefused) {
    testing::TempDir dir;
    for (const PrinterConfig& c : std::vector<PrinterConfig>{
             Settings(PrinterKind::kDevice, "/dev/lp0\nbackend = cups"),
             Settings(PrinterKind::kSpool, " out"),
             Settings(PrinterKind::kCups, "", "host\r"),
             Settings(PrinterKind::kCups, "", "", PrinterEncoding::kCp1251, 0),
         }) {
        EXPECT_NE(SavePrinterConfig(c, dir.path()), "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir / kPrinterCfgName));
}

TEST_F(PrinterSetupRules, ThePrinterChoiceIsSavedToPrinterCfg) {
    EXPECT_EQ(Model().Printer().kind, PrinterKind::kCups);  // no printer.cfg yet
    const PrinterConfig chosen =
        Settings(PrinterKind::kSpool, "receipts", "", PrinterEncoding::kCp866, 7);
    ASSERT_EQ(Model().ApplyPrinter(chosen), "");
    ExpectSameSettings(Model().Printer(), chosen);
    model.reset();
    ExpectSameSettings(Model().Printer(), chosen);
    EXPECT_NE(Model().ApplyPrinter(Settings(PrinterKind::kDevice, "/dev/lp0\n")), "");
    ExpectSameSettings(Model().Printer(), chosen);
}

TEST(PrinterTargetChoice, ListsTheQueuesThenTheDeviceFileAndTheSpoolFolder) {
    const PrinterConfig current =
        Settings(PrinterKind::kCups, "Gone", "host", PrinterEncoding::kCp866, 4);
    PrinterTargetModel m(current, {"Receipts", "Laser", "Receipts"});
    std::vector<std::string> texts;
    for (const auto& e : m.Entries()) {
        texts.push_back(e.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"CUPS: default printer", "CUPS: Gone", "CUPS: Laser",
                                               "CUPS: Receipts", "Device file", "Spool folder"}));
    EXPECT_EQ(m.Chosen(), 1);  // the saved queue, though CUPS does not offer it now
    EXPECT_FALSE(m.DevicePathEnabled());
    EXPECT_FALSE(m.SpoolFolderEnabled());

    m.Choose(3);
    PrinterTargetResult r = m.Result();
    ASSERT_TRUE(r.config);
    ExpectSameSettings(
        *r.config, Settings(PrinterKind::kCups, "Receipts", "host", PrinterEncoding::kCp866, 4));
    m.Choose(0);
    EXPECT_EQ(m.Result().config->target, "");  // the CUPS default printer
    m.Choose(99);
    m.Choose(-1);
    EXPECT_EQ(m.Chosen(), 0);

    EXPECT_EQ(DescribePrinterTarget(current), "CUPS: Gone");
    EXPECT_EQ(DescribePrinterTarget(PrinterConfig{}), "CUPS: default printer");
    EXPECT_EQ(DescribePrinterTarget(Settings(PrinterKind::kDevice, "/dev/lp0")),
              "Device file: /dev/lp0");
}

TEST(PrinterTargetChoice, ADeviceFileOrSpoolFolderNeedsAPath) {
    PrinterTargetModel m(Settings(PrinterKind::kDevice, "/dev/usb/lp0"), {});
    ASSERT_EQ(m.Entries()[m.Chosen()].text, "Device file");
    EXPECT_TRUE(m.DevicePathEnabled());
    EXPECT_EQ(m.DevicePath(), "/dev/usb/lp0");
    m.SetDevicePath("  /dev/lp1 ");
    EXPECT_EQ(m.Result().config->target, "/dev/lp1");
    for (const char* bad : {"", "   ", "/dev/lp0\nbackend = cups"}) {
        m.SetDevicePath(bad);
        EXPECT_FALSE(m.Result().config) << bad;
        EXPECT_NE(m.Result().error, "");
    }

    m.Choose(2);  // no queues: default, device file, spool folder
    EXPECT_TRUE(m.SpoolFolderEnabled());
    EXPECT_FALSE(m.Result().config);
    m.SetSpoolFolder("receipts");
    ExpectSameSettings(*m.Result().config, Settings(PrinterKind::kSpool, "receipts"));
}

TEST(CupsQueueList, IsEmptyWhenNoServerAnswers) {
    EXPECT_TRUE(ListCupsQueues("127.0.0.1:1", 500).empty());
    EXPECT_TRUE(ListCupsQueues("/nonexistent/cups.sock", 500).empty());
}

}  // namespace
}  // namespace miradel
