#include "cashdesk/KassaWindowModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cashdesk/Kassa.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using ::testing::HasSubstr;

const std::vector<std::string> kIncass = {
    "--- конец ---",           // 0
    "ИНКАССАЦИЯ",              // 1
    "Оператор: %d",            // 2
    "%s %s",                   // 3
    "Инкассировано: %d.%.2d",  // 4
    "Остаток: %d.%.2d",        // 5
    "РАСХОДНЫЙ ОРДЕР",         // 6
    "Подпись ______",          // 7
    "Факс: ",                  // 8
    "АПП: ",                   // 9
    "ЗС: ",                    // 10
    "Платежи: ",               // 11
    "Итого: ",                 // 12
    "== ККМ ==",               // 13
    "Инкассация",              // 14
    "Оператор %d",             // 15
    "Дата %s",                 // 16
    "Время %s",                // 17
    "Факс ",                   // 18
    "АПП ",                    // 19
    "ЗС ",                     // 20
    "Платежи ",                // 21
    "Итого ",                  // 22
    "Сдано %d.%.2d",           // 23
    "Осталось %d.%.2d",        // 24
    "Невостребованные: ",      // 25
};

void WriteIncass(const std::filesystem::path& folder, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToCp1251(line) + "\r\n";
    }
    ASSERT_TRUE(AppendToFile(folder / kIncassCfgName, bytes));
}

class RecordingPrinter final : public CollectionPrinter {
  public:
    bool PrintOnReceiptPrinter(const std::vector<std::string>& lines, std::string& error) override {
        receiptJobs.push_back(lines);
        if (!works) {
            error = "Printer lp0 is out of paper";
        }
        return works;
    }
    void QueueFiscal(const std::vector<CollectionPrintRecord>& records) override {
        fiscalDocuments.push_back(records);
    }

    bool works = true;
    std::vector<std::vector<std::string>> receiptJobs;
    std::vector<std::vector<CollectionPrintRecord>> fiscalDocuments;
};

std::array<int32_t, 8> Counters(const KassaImage& image) {
    const KassaData d = image.Copy();
    std::array<int32_t, 8> out{};
    for (int i = 0; i < 8; ++i) {
        out[i] = d.Get(i);
    }
    return out;
}

const LocalDateTime kNow{2009, 3, 5, 9, 5, 7};

class KassaWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteIncass(dir.path(), kIncass);
        IncassLoad load = LoadIncassTexts(dir.path());
        ASSERT_FALSE(load.error.has_value());
        EXPECT_TRUE(load.warnings.empty());
        texts = load.texts;
        Fresh();
    }

    // The office as it stands before each collection of a table of cases.
    void Fresh() {
        printer = RecordingPrinter();
        config.Load(AppConfigData::Defaults());
        KassaData d;
        const std::array<int32_t, 8> start = {1500, 800, 300, 4550, 1200, 10000, 2000, 20350};
        for (int i = 0; i < 8; ++i) {
            d.Set(i, start[i]);
        }
        kassa.Load(d);
        config.Set(appcfg::kOperatorOnDuty, int16_t{7});
        config.Set(appcfg::kNextBoothReceipt, 57);
        config.Set(appcfg::kFeedLines, 3);
        config.Set(appcfg::kFeedAndCut, true);
        config.MarkSaved(config.CopyForSave().version);
        model = std::make_unique<KassaWindowModel>(kassa, config, texts, "ООО Связь");
    }

    CollectionOutcome Collect(const std::string& left, DeskState desk = {}) {
        return model->Collect(left, desk, kNow, printer);
    }

    testing::TempDir dir;
    IncassTexts texts;
    KassaImage kassa;
    AppConfig config;
    RecordingPrinter printer;
    std::unique_ptr<KassaWindowModel> model;
};

TEST_F(KassaWindow, ShowsTheCountersAndTheUnclaimedTotal) {
    KassaData d = kassa.Copy();
    d.Set(kKassaRest, -150);
    kassa.Load(d);
    model->Open(KassaMode::kView, 1234);
    const KassaWindowView& v = model->View();
    EXPECT_EQ(v.caption, "  Касса");
    EXPECT_EQ(v.rows[0].label, "Аванс АПП :");
    EXPECT_EQ(v.rows[0].amount, "15.00");
    EXPECT_EQ(v.rows[6].amount, "-1.50");
    EXPECT_EQ(v.rows[7].label, "    Итого :");
    EXPECT_EQ(v.unclaimedAmount, "12.34");
    EXPECT_TRUE(v.printVisible);
    EXPECT_FALSE(v.collectionControlsVisible);
    EXPECT_EQ(v.helpTopic, 111);

    model->Open(KassaMode::kCollection, 0);
    EXPECT_FALSE(model->View().printVisible);
    EXPECT_TRUE(model->View().collectionControlsVisible);
    EXPECT_EQ(model->View().amountField, "0.00");
    EXPECT_EQ(model->View().helpTopic, 110);
}

TEST_F(KassaWindow, ResultCodes) {
    model->Open(KassaMode::kView, 0);
    EXPECT_EQ(model->Close(), kKassaViewClosed);
    model->Open(KassaMode::kCollection, 0);
    EXPECT_EQ(model->Close(), kKassaNotCollected);
    model->Open(KassaMode::kView, 0);
    EXPECT_EQ(Collect("1").kind, CollectionOutcome::kNotInThisMode);
    EXPECT_TRUE(printer.receiptJobs.empty());
}

TEST_F(KassaWindow, ACollectionPrintsBothPrintoutsAndBooksTheRest) {
    model->Open(KassaMode::kCollection, 1234);
    const CollectionOutcome outcome = Collect("50.5");
    EXPECT_EQ(outcome.kind, CollectionOutcome::kBooked);
    EXPECT_TRUE(outcome.windowCloses);
    EXPECT_FALSE(outcome.message.has_value());
    EXPECT_EQ(model->Result(), kKassaCollected);

    ASSERT_EQ(printer.receiptJobs.size(), 1u);
    EXPECT_EQ(printer.receiptJobs[0], (std::vector<std::string>{
                                          "ИНКАССАЦИЯ",
                                          "ООО Связь",
                                          "Оператор: 7",
                                          "05.03.2009 09:05:07",
                                          "Факс: 3.00",
                                          "АПП: 45.50",
                                          "ЗС: 12.00",
                                          "Платежи: 100.00",
                                          "Итого: 203.50",
                                          "Инкассировано: 130.00",
                                          "Остаток: 50.50",
                                          "Невостребованные: 12.34",
                                          "--- конец ---",
                                          "\r\n",
                                          "\r\n",
                                          "\r\n",
                                          "РАСХОДНЫЙ ОРДЕР",
                                          "ООО Связь",
                                          "Оператор: 7",
                                          "05.03.2009 09:05:07",
                                          "Инкассировано: 130.00",
                                          "Подпись ______",
                                          "--- конец ---",
                                      }));
    EXPECT_TRUE(printer.fiscalDocuments.empty());

    EXPECT_EQ(Counters(kassa), (std::array<int32_t, 8>{1500, 800, 0, 0, 0, 0, 5050, 7350}));
    EXPECT_TRUE(kassa.Dirty());
    EXPECT_EQ(config.Get(appcfg::kLastCollectedReceipt), 56);
    EXPECT_TRUE(config.Dirty());
    EXPECT_EQ(model->LastTaken(), 13000);
    EXPECT_EQ(model->LastLeft(), 5050);
    EXPECT_EQ(model->OperatorLogValues(), (std::vector<std::string>{"56", "130.00", "50.50"}));
}

TEST_F(KassaWindow, TheAmountLeftDecidesWhatIsTaken) {
    struct Case {
        std::string left;
        std::array<int32_t, 8> after;
        Money taken;
    };
    for (const Case& c : std::vector<Case>{
             // leave everything: nothing taken, the printouts still go, the income restarts
             {"180.50", {1500, 800, 0, 0, 0, 0, 18050, 20350}, 0},
             // leave nothing: the till keeps only the advances
             {"0", {1500, 800, 0, 0, 0, 0, 0, 2300}, 18050},
             {"", {1500, 800, 0, 0, 0, 0, 0, 2300}, 18050},
             {"0.29", {1500, 800, 0, 0, 0, 0, 29, 2329}, 18021},
         }) {
        Fresh();
        model->Open(KassaMode::kCollection, 0);
        ASSERT_EQ(Collect(c.left).kind, CollectionOutcome::kBooked) << c.left;
        EXPECT_EQ(Counters(kassa), c.after) << c.left;
        EXPECT_EQ(model->LastTaken(), c.taken);
        EXPECT_EQ(printer.receiptJobs.size(), 1u);
    }
}

TEST_F(KassaWindow, LeavingMoreThanThereIsChangesNothing) {
    // The booths' advances (15.00) and the order advances are not the office's to leave.
    for (const char* left : {"180.51", "200", "99999999999"}) {
        Fresh();
        kassa.MarkSaved(kassa.CopyForSave().version);
        model->Open(KassaMode::kCollection, 0);
        const CollectionOutcome outcome = Collect(left);
        EXPECT_EQ(outcome.kind, CollectionOutcome::kTooMuchLeft) << left;
        ASSERT_TRUE(outcome.message.has_value());
        EXPECT_EQ(outcome.message->text, "Денег введено больше,чем заработанно!");
        EXPECT_EQ(outcome.message->caption, "Error Input");
        EXPECT_EQ(outcome.message->icon, PromptIcon::Warning);
        EXPECT_TRUE(outcome.windowCloses);
        EXPECT_EQ(model->Result(), kKassaNotCollected);
        EXPECT_FALSE(kassa.Dirty());
        EXPECT_EQ(Counters(kassa)[7], 20350);
        EXPECT_TRUE(printer.receiptJobs.empty());
    }
}

TEST_F(KassaWindow, ANegativeAmountToLeaveIsRefused) {
    model->Open(KassaMode::kCollection, 0);
    const CollectionOutcome outcome = Collect("-10");
    EXPECT_EQ(outcome.kind, CollectionOutcome::kNegativeLeft);
    EXPECT_TRUE(outcome.message.has_value());
    EXPECT_EQ(Counters(kassa)[6], 2000);
    EXPECT_TRUE(printer.receiptJobs.empty());
}

TEST_F(KassaWindow, AFailedPrintoutStopsAnOperatorButNotAnAdministrator) {
    printer.works = false;
    model->Open(KassaMode::kCollection, 0);
    CollectionOutcome outcome = Collect("10");
    EXPECT_EQ(outcome.kind, CollectionOutcome::kPrintFailed);
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_EQ(outcome.message->text, "Инкассация не произведена!!! Проверьте печать!");
    EXPECT_EQ(outcome.message->caption, "Ошибка печати инкассации");
    EXPECT_EQ(outcome.printError, "Printer lp0 is out of paper");
    EXPECT_FALSE(outcome.windowCloses);
    EXPECT_TRUE(model->IsOpen());
    EXPECT_EQ(Counters(kassa)[3], 4550);
    EXPECT_EQ(config.Get(appcfg::kLastCollectedReceipt), 1);  // the default, untouched
    EXPECT_FALSE(config.Dirty());

    outcome = Collect("10", DeskState{true, false});
    EXPECT_EQ(outcome.kind, CollectionOutcome::kBooked);
    EXPECT_FALSE(outcome.message.has_value());
    EXPECT_EQ(outcome.printError, "Printer lp0 is out of paper");
    EXPECT_EQ(Counters(kassa)[6], 1000);
    EXPECT_EQ(model->Result(), kKassaCollected);
}

TEST_F(KassaWindow, TheLastCollectedReceiptIsAtLeastOne) {
    for (const auto& [next, expected] :
         std::vector<std::pair<int32_t, int32_t>>{{57, 56}, {2, 1}, {1, 1}, {0, 1}}) {
        Fresh();
        config.Set(appcfg::kNextBoothReceipt, next);
        model->Open(KassaMode::kCollection, 0);
        ASSERT_EQ(Collect("0").kind, CollectionOutcome::kBooked);
        EXPECT_EQ(config.Get(appcfg::kLastCollectedReceipt), expected) << next;
    }
}

CollectionPrintRecord Text(std::string text) {
    CollectionPrintRecord r;
    r.text = std::move(text);
    r.number = 57;
    return r;
}

CollectionPrintRecord Record(int type, std::string text) {
    CollectionPrintRecord r = Text(std::move(text));
    r.type = type;
    return r;
}

CollectionPrintRecord End() {
    CollectionPrintRecord r = Record(CollectionPrintRecord::kEndOfDocument, "");
    r.feedLines = 3;
    r.feedAndCut = true;
    return r;
}

std::vector<CollectionPrintRecord> Texts(std::initializer_list<const char*> lines) {
    std::vector<CollectionPrintRecord> out;
    for (const char* line : lines) {
        out.push_back(Text(line));
    }
    return out;
}

template <class... Parts>
std::vector<CollectionPrintRecord> Join(Parts... parts) {
    std::vector<CollectionPrintRecord> out;
    (out.insert(out.end(), parts.begin(), parts.end()), ...);
    return out;
}

TEST_F(KassaWindow, OnTheMercury130FTheCollectionIsQueuedAsTextLines) {
    config.Set(appcfg::kReportsToFiscal, true);
    config.Set(appcfg::kReceiptDevice, 1);
    model->Open(KassaMode::kCollection, 1234);
    ASSERT_EQ(Collect("50.5", DeskState{false, true}).kind, CollectionOutcome::kBooked);
    EXPECT_TRUE(printer.receiptJobs.empty());
    ASSERT_EQ(printer.fiscalDocuments.size(), 1u);
    EXPECT_EQ(printer.fiscalDocuments[0], Join(Texts({"== ККМ ==",
                                                      "Инкассация",
                                                      "Оператор 7",
                                                      "Дата 05.03.2009",
                                                      "Время 09:05:07",
                                                      "Факс 3.00",
                                                      "АПП 45.50",
                                                      "ЗС 12.00",
                                                      "Платежи 100.00",
                                                      "Итого 203.50",
                                                      "Сдано 130.00",
                                                      "Осталось 50.50",
                                                      " ",
                                                      "Невостребованные: 12.34",
                                                      "== ККМ ==",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " "}),
                                               std::vector{End()}));
}

TEST_F(KassaWindow, OnTheMercury1141FTheCollectionIsANonFiscalDocument) {
    config.Set(appcfg::kReportsToFiscal, true);
    config.Set(appcfg::kReceiptDevice, 2);
    model->Open(KassaMode::kCollection, 1234);
    ASSERT_EQ(Collect("50.5", DeskState{false, true}).kind, CollectionOutcome::kBooked);
    ASSERT_EQ(printer.fiscalDocuments.size(), 1u);
    EXPECT_EQ(
        printer.fiscalDocuments[0],
        Join(std::vector{Record(CollectionPrintRecord::kOpenNonFiscal, "== ККМ ==")},
             Texts({"Инкассация", "Оператор 7", "Дата 05.03.2009", "Время 09:05:07", "Факс 3.00",
                    "АПП 45.50", "ЗС 12.00", "Платежи 100.00", "Итого 203.50", "Сдано 130.00",
                    "Осталось 50.50", "  ", "Невостребованные: 12.34"}),
             std::vector{Record(CollectionPrintRecord::kCloseNonFiscal, "== ККМ =="), End()}));
}

TEST_F(KassaWindow, WithoutAnOnlineRegisterTheReceiptPrinterPrints) {
    for (const auto& [reports, device, online] : std::vector<std::tuple<bool, int, bool>>{
             {false, 1, true}, {true, 1, false}, {true, 0, true}}) {
        Fresh();
        config.Set(appcfg::kReportsToFiscal, reports);
        config.Set(appcfg::kReceiptDevice, device);
        model->Open(KassaMode::kCollection, 0);
        ASSERT_EQ(Collect("0", DeskState{false, online}).kind, CollectionOutcome::kBooked);
        EXPECT_EQ(printer.receiptJobs.size(), 1u);
        EXPECT_TRUE(printer.fiscalDocuments.empty());
    }
}

TEST_F(KassaWindow, TheCashReportGoesOnlyToAnOnlineRegister) {
    model->Open(KassaMode::kView, 1234);
    EXPECT_FALSE(model->PrintCashReport(DeskState{false, true}, kNow, printer));
    EXPECT_TRUE(printer.fiscalDocuments.empty());
    EXPECT_TRUE(printer.receiptJobs.empty());

    config.Set(appcfg::kReportsToFiscal, true);
    config.Set(appcfg::kReceiptDevice, 1);
    EXPECT_FALSE(model->PrintCashReport(DeskState{false, false}, kNow, printer));
    ASSERT_TRUE(model->PrintCashReport(DeskState{false, true}, kNow, printer));
    ASSERT_EQ(printer.fiscalDocuments.size(), 1u);
    EXPECT_EQ(printer.fiscalDocuments[0], Join(Texts({"== ККМ ==",
                                                      "Инкассация",
                                                      "Оператор 7",
                                                      "Дата 05.03.2009",
                                                      "Время 09:05:07",
                                                      "Факс 3.00",
                                                      "АПП 45.50",
                                                      "ЗС 12.00",
                                                      "Платежи 100.00",
                                                      "Итого 203.50",
                                                      "  ",
                                                      "Невостребованные: 12.34",
                                                      "== ККМ ==",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " ",
                                                      " "}),
                                               std::vector{End()}));
    EXPECT_EQ(Counters(kassa)[7], 20350);  // a report books nothing

    config.Set(appcfg::kReceiptDevice, 2);
    ASSERT_TRUE(model->PrintCashReport(DeskState{false, true}, kNow, printer));
    EXPECT_EQ(printer.fiscalDocuments[1].size(), 14u);  // open, 11 lines, close, end
}

TEST(IncassTexts, AMissingOrShortFileStopsStartUp) {
    testing::TempDir dir;
    EXPECT_EQ(LoadIncassTexts(dir.path()).error->text, "Error open incass.cfg");
    WriteIncass(dir.path(), std::vector<std::string>(kIncass.begin(), kIncass.end() - 1));
    EXPECT_EQ(LoadIncassTexts(dir.path()).error->text, "Error open incass.cfg");
}

TEST(IncassTexts, BadTemplatesAreReportedAndPrintAsText) {
    testing::TempDir dir;
    std::vector<std::string> lines = kIncass;
    lines[2] = "Оператор: %s";         // a string conversion for the number
    lines[4] = "Сдано %n %d.%.2d %d";  // %n is never filled; one value too many asked
    lines[3] = "%*d %s";               // a width from a value
    WriteIncass(dir.path(), lines);
    const IncassLoad load = LoadIncassTexts(dir.path());
    ASSERT_FALSE(load.error.has_value());
    ASSERT_EQ(load.warnings.size(), 3u);
    EXPECT_THAT(load.warnings[0], HasSubstr("incass.cfg line 3"));
    EXPECT_THAT(load.warnings[2], HasSubstr("incass.cfg line 5"));

    KassaImage kassa;
    AppConfig config{AppConfigData::Defaults()};
    RecordingPrinter printer;
    KassaWindowModel model(kassa, config, load.texts, "");
    model.Open(KassaMode::kCollection, 0);
    ASSERT_EQ(model.Collect("0", {}, kNow, printer).kind, CollectionOutcome::kBooked);
    ASSERT_EQ(printer.receiptJobs.size(), 1u);
    const std::vector<std::string>& job = printer.receiptJobs[0];
    EXPECT_THAT(job[2], HasSubstr("%s"));
    EXPECT_THAT(job[9], HasSubstr("%n"));
}

TEST(BoothsAllowCollection, OnlyIdleBoothsOrTheDialAroundLine) {
    std::vector<BoothSnapshot> booths(3);
    booths[0].state = 0;
    booths[1].state = 1;
    booths[2].state = 1;
    EXPECT_TRUE(BoothsAllowCollection(booths));
    booths[2].state = 6;
    EXPECT_FALSE(BoothsAllowCollection(booths));
    booths[2].kind = 5;  // the dial-around booth never counts as active
    EXPECT_TRUE(BoothsAllowCollection(booths));
    EXPECT_EQ(ActiveBoothRefusal().text, "Одна из кабин активна!");
    EXPECT_EQ(ActiveBoothRefusal().caption, "Error Close");
}

}  // namespace
}  // namespace miradel
