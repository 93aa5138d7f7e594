// One whole call through the office, in virtual time: the booth controller simulator on an
// in-memory cable, the real store in a working folder, tariff files, the spool-folder printer.
// The operator switches booth 4 (panel 3) on with 10.00, the client dials a long-distance
// number priced 1.50 a minute, the called party answers, 61 s of talk, hang-up, and the
// operator settles with "Печать".

#include <fmt/format.h>
#include <gtest/gtest.h>
#include "booths/NullBoothServices.h"

#include "KabSim.h"
#include "app/AdvanceDialogActions.h"
#include "app/BoothWiring.h"
#include "app/StoreAdapters.h"
#include "app/config/StateFiles.h"
#include "booths/BoothEvents.h"
#include "booths/BoothReceiptPrinter.h"
#include "booths/KabinaAvtomat.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/DateText.h"
#include "controller/ControllerExchange.h"
#include "controller/MemoryLink.h"
#include "controller/PeriodicTask.h"
#include "printing/raw/PrintJobQueue.h"
#include "printing/raw/SpoolFolderBackend.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

constexpr int kPanel = 3;

void WriteText(const std::filesystem::path& path, const std::string& utf8) {
    const std::string bytes = Utf8ToCp1251(utf8);
    ASSERT_EQ(WriteFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end())), "");
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

void WriteOfficeFiles(const std::filesystem::path& dir) {
    WriteText(dir / "prefix.dat", "8-1-11-4\n");
    WriteText(dir / "kz_1.dat", "495 1 Москва\n");
    std::string zones = "T1";
    for (int h = 0; h < 24; ++h)
        zones += " 150";
    WriteText(dir / "zt_1.dat", zones + "\n" + zones + "\n");
    std::string year;
    for (int m = 0; m < 12; ++m)
        year += std::string(31, '0') + "\n";
    WriteText(dir / "year.dat", year);
    WriteText(dir / "ticket.cfg",
              Lines({"МИРАДЕЛЬ АПП", "Квит.N", "----------", "Звонок", "N", "Время", "Сумма",
                     "Аванс", "Сдача", "Спасибо!", "==========", "Дата", "Время", "Кабина",
                     "Израсх.", "ООО Связь", "г. Город"}));
    WriteText(dir / "avans.cfg", Lines({"**********", "АВАНС", "Дата", "Время", "Оператор",
                                        "Квит.N", "Кабина", "Сумма", "Внесено"}));
}

class Office {
  public:
    Office() {
        EXPECT_FALSE(ReceiptTexts::Load(dir.path(), texts));

        config.Set(kPrintAdvance, true);
        config.Set(kAutoTariffStart, 1);  // metering starts when the called party answers
        config.Set(kNextBoothReceipt, 41);
        kabin.Modify([](KabinData& d) { d.Record(kPanel) = {1, 4, kKindAvtomat, 0}; });

        EXPECT_TRUE(link.DeviceEnd().Open(kControllerLineSettings));
        controller.Start();
        booths[kPanel] = std::make_unique<KabinaAvtomat>(kPanel, 4, env, services);
        EXPECT_TRUE(exchange.StartExchange());
        exchange.RequestStart();
        secondTick.Start();
        Run(100);
    }

    void Run(int64_t ms) { scheduler.RunFor(ms); }
    int32_t Kassa(int counter) const { return kassa.Copy().Get(counter); }
    BoothSlotRecord Slot() const { return kabin.Copy().Record(kPanel); }

    // The controller commands for the booth's line, in the order the controller got them.
    std::vector<std::vector<uint8_t>> LineCommands() const {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& e : controller.EventsOf(kabsim::KabEventKind::kFrameIn)) {
            const uint8_t code = e.bytes.size() > 2 ? e.bytes[2] : 0;
            if (code != 0 && code != 1 && code != 20) {
                out.emplace_back(e.bytes.begin() + 2, e.bytes.end() - 1);
            }
        }
        return out;
    }

    testing::TempDir dir;
    bool filesWritten = (WriteOfficeFiles(dir.path()), true);
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    VirtualScheduler scheduler{clock};
    AppConfig config{AppConfigData::Defaults()};
    KabinImage kabin;
    KassaImage kassa;
    RecordingOperatorLog log;
    ScriptedPrompt prompt{PromptAnswer::No};
    RecordingProgramStatus status;
    AlwaysUsablePictures pictures;
    BoothEnvironment env{clock, config, kabin, kassa, log, pictures, dir.path()};

    std::unique_ptr<TRFTOR> tariffEngine = TRFTOR::Load(dir.path(), clock).engine;
    TrftorTariffs tariffs{*tariffEngine};
    ReceiptTexts texts;
    TDMInfo dm{dir.path(),
               clock,
               {[this] { return int(config.Get(kOperatorOnDuty)); }, [] { return 1; },
                [] { return 100; }}};
    StoreCallRecords calls{dm, {dm.LastError(), log, prompt}};
    PrintJobQueue printer{std::make_unique<SpoolFolderBackend>(dir / "spool")};
    BoothReceiptPrinter receipts{{texts, config, clock, &printer, nullptr}};

    MemoryLink link{clock};
    kabsim::KabSim controller{link.DeviceEnd(), scheduler};
    BoothArray booths;
    BoothRouter router{booths};
    ExchangeDebugView debug;
    ControllerExchange exchange{
        {scheduler, link.PcEnd(), router, status, log, prompt, debug, nullptr, nullptr, nullptr}};
    ExchangeLine line{exchange};
    NoTerminal terminal;
    NoDialog dialog;
    BoothServices services{line, tariffs, calls, receipts, terminal, dialog};
    AdvanceDialogActions actions{{booths, line, dm, {dm.LastError(), log, prompt}, config}};
    PeriodicTask secondTick{scheduler,
                            1000,
                            "Ошибка 1с таймера!",
                            [this] { router.RaiseBoothEvent(kPanel, kEventSecondTick, 0); },
                            [] { return true; },
                            status};
};

std::vector<std::string> SpoolLines(const std::filesystem::path& file) {
    const auto bytes = ReadWholeFile(file);
    std::vector<std::string> lines;
    if (!bytes)
        return lines;
    const std::string text(bytes->begin(), bytes->end());
    const std::string end("\n\r\0", 3);
    std::size_t pos = 0;
    for (std::size_t at; (at = text.find(end, pos)) != std::string::npos; pos = at + 3) {
        lines.push_back(Cp1251ToUtf8(text.substr(pos, at - pos)));
    }
    EXPECT_EQ(pos, text.size()) << "bytes after the last line end";
    return lines;
}

TEST(WholeCall, SwitchOnCallSettleWithReceipt) {
    Office o;

    // The operator takes 10.00 and switches the booth on.
    const LocalDateTime switchedOnAt = o.clock.Now();
    o.actions.Apply(kPanel, 1000);
    o.Run(300);
    EXPECT_EQ(o.booths[kPanel]->State(), 2);
    EXPECT_EQ(o.Kassa(kKassaBoothAdvances), 1000);
    EXPECT_EQ(o.Kassa(kKassaTotal), 1000);
    EXPECT_EQ(o.Slot(), (BoothSlotRecord{2, 4, kKindAvtomat, 1000}));

    // The client lifts the handset and dials; the called party answers half a second after
    // a tick, they talk for 61 seconds and the client hangs up.
    o.controller.Lift(kPanel);
    o.Run(400);
    for (char c : std::string("84951234567")) {
        o.controller.Dial(kPanel, c == '0' ? 10 : c - '0');
        o.Run(300);
    }
    EXPECT_EQ(o.booths[kPanel]->State(), 11);
    o.Run(1000 - o.clock.MonotonicMs() % 1000 + 500);
    o.controller.Answer(kPanel);
    o.Run(100);
    EXPECT_EQ(o.booths[kPanel]->State(), 6);
    const LocalDateTime talkStart = o.clock.Now();
    o.Run(61'000 - 100);
    o.controller.HangUp(kPanel);
    o.Run(300);
    EXPECT_EQ(o.booths[kPanel]->State(), 2);
    EXPECT_EQ(o.Kassa(kKassaBoothAdvances), 848);
    EXPECT_EQ(o.Kassa(kKassaBoothCalls), 152);
    EXPECT_EQ(o.Kassa(kKassaTotal), 1000);
    EXPECT_EQ(o.Slot(), (BoothSlotRecord{2, 4, kKindAvtomat, 848}));

    // The operator settles with "Печать".
    const LocalDateTime settledAt = o.clock.Now();
    o.actions.Apply(kPanel, -2);
    o.Run(300);
    EXPECT_EQ(o.booths[kPanel]->State(), 1);
    EXPECT_EQ(o.Kassa(kKassaBoothAdvances), 0);
    EXPECT_EQ(o.Kassa(kKassaBoothCalls), 152);
    EXPECT_EQ(o.Kassa(kKassaTotal), 152);
    EXPECT_EQ(o.Slot(), (BoothSlotRecord{1, 4, kKindAvtomat, 0}));

    // The controller got the line commands in this order, each confirmed.
    EXPECT_EQ(o.LineCommands(),
              (std::vector<std::vector<uint8_t>>{{4, kPanel},
                                                 {3, kPanel, 1},     // switch-on
                                                 {3, kPanel, 2},     // talk: microphone on
                                                 {3, kPanel, 1},     // billed: back to dialling
                                                 {3, kPanel, 0}}));  // settled: line off
    EXPECT_EQ(o.controller.Counters().messagesGivenUp, 0);

    // The call's INFO row, field by field.
    o.dm.tblInfo.Open();
    ASSERT_EQ(o.dm.tblInfo.RecordCount(), 1);
    o.dm.tblInfo.First();
    auto field = [&](const char* name) { return o.dm.tblInfo.FieldByName(name).AsString(); };
    EXPECT_EQ(field("NUMBER"), "4");
    EXPECT_EQ(field("OPERATOR"), "1");
    EXPECT_EQ(field("DIAL_UP"), "84951234567");
    EXPECT_EQ(field("TICKET"), "41");
    EXPECT_EQ(field("DURATION"), "01:01");
    EXPECT_EQ(field("TARIF"), "1.50");
    EXPECT_EQ(field("SUMMA"), "1.52");
    EXPECT_EQ(field("AVANS"), "1000");
    EXPECT_EQ(field("REST"), "8.48");
    EXPECT_EQ(field("_DATE"), "5.3.2009");
    EXPECT_EQ(field("_TIME"),
              fmt::format("{}:{}:{}", talkStart.hour, talkStart.minute, talkStart.second));

    // The two receipts, line by line as the printer got them.
    o.printer.Drain();
    EXPECT_EQ(SpoolLines(o.dir / "spool" / "job-00000001.prn"),
              (std::vector<std::string>{"**********", "Внесено", "АВАНС",
                                        "Дата     " + DateText(switchedOnAt), "Квит.N      41",
                                        "Время    " + TimeText(switchedOnAt), "Оператор    1",
                                        "Кабина      4", "Сумма        10.00", "**********"}));
    EXPECT_EQ(SpoolLines(o.dir / "spool" / "job-00000002.prn"),
              (std::vector<std::string>{
                  "МИРАДЕЛЬ АПП", "ООО Связь", "г. Город", "Квит.N     41     1", "----------",
                  "Дата     " + DateText(settledAt), "Время    " + TimeText(settledAt),
                  "==========", "Кабина      4", "Звонок    1.", "N84951234567",
                  "Время         0:01:01", "Сумма         1.52", "==========", "Аванс        10.00",
                  "Израсх.      1.52", "Сдача        8.48", "Спасибо!"}));
    // Windows-1251 bytes, each line ended by 10 13 0.
    const auto first = ReadWholeFile(o.dir / "spool" / "job-00000002.prn");
    ASSERT_TRUE(first);
    EXPECT_EQ(std::string(first->begin(), first->begin() + 15),
              std::string("\xCC\xC8\xD0\xC0\xC4\xC5\xCB\xDC \xC0\xCF\xCF\n\r\0", 15));

    // The save timer writes kabin.cfg and kassa.dat from the images.
    SaveTimer(o.dir.path(), o.config, o.kassa, o.kabin).Fire();
    const auto kabinFile = ReadWholeFile(o.dir / "kabin.cfg");
    ASSERT_TRUE(kabinFile);
    EXPECT_EQ(BoothSlotRecord::Decode(kabinFile->data() + kPanel * 12),
              (BoothSlotRecord{1, 4, kKindAvtomat, 0}));
}

}  // namespace
}  // namespace miradel

namespace miradel {
namespace {

TEST(WholeCall, UnclaimedSettlementLeavesItsRowsFromTheTurnBeforeTheSettlement) {
    Office o;
    o.config.Set(kAdvanceLog, true);
    o.actions.Apply(kPanel, 500);
    o.Run(300);
    o.actions.Apply(kPanel, -3);
    o.Run(300);
    EXPECT_EQ(o.booths[kPanel]->State(), 1);

    o.dm.tblReturn.Open();
    ASSERT_EQ(o.dm.tblReturn.RecordCount(), 1);
    o.dm.tblReturn.First();
    EXPECT_EQ(o.dm.tblReturn.FieldByName("ATICKET").AsString(), "41");
    EXPECT_EQ(o.dm.tblReturn.FieldByName("RET_SUMMA").AsString(), "5.00");
    EXPECT_EQ(o.dm.tblReturn.FieldByName("AVANS").AsString(), "5.00");
    EXPECT_EQ(o.dm.tblReturn.FieldByName("NUMBER").AsString(), "4");
    EXPECT_EQ(o.dm.tblReturn.FieldByName("FLAG").AsString(), "0");

    o.dm.tblAvans.Open();
    ASSERT_EQ(o.dm.tblAvans.RecordCount(), 1);
    o.dm.tblAvans.First();
    EXPECT_EQ(o.dm.tblAvans.FieldByName("TICKET").AsString(), "41");
    EXPECT_EQ(o.dm.tblAvans.FieldByName("SUMMA").AsString(), "5.00");
    EXPECT_EQ(o.dm.tblAvans.FieldByName("FLAG").AsString(), "2");  // unclaimed with a rest
}

TEST(WholeCall, BusyCallTableAsksTheOperatorAndTheCallStaysBilled) {
    Office o;
    o.actions.Apply(kPanel, 1000);
    o.Run(300);
    o.controller.Lift(kPanel);
    o.Run(400);
    for (char c : std::string("84951234567")) {
        o.controller.Dial(kPanel, c - '0' == 0 ? 10 : c - '0');
        o.Run(300);
    }
    o.controller.Answer(kPanel);
    o.Run(10'000);
    o.dm.tblInfo.Open();
    o.dm.tblInfo.Append();  // another writer holds the table in its insert state
    o.controller.HangUp(kPanel);
    o.Run(300);

    ASSERT_EQ(o.prompt.Asked().size(), 1u);
    EXPECT_EQ(o.prompt.Asked()[0].caption, "Критическая ошибка!");
    EXPECT_EQ(o.dm.LastError().Get().text, "Ошибка статуса таблицы - INFO");
    EXPECT_EQ(o.log.Entries().back().event, 34);
    EXPECT_EQ(o.booths[kPanel]->GetInfo().records.size(), 1u);
    EXPECT_GT(o.Kassa(kKassaBoothCalls), 0);
    o.dm.tblInfo.Cancel();
    EXPECT_EQ(o.dm.tblInfo.RecordCount(), 0);
}

}  // namespace
}  // namespace miradel
