// The headless command channel on a scripted list: an advance, a simulated call, settlement
// with "Печать", the booths and the till, and the exit with its refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/Headless.h"
#include "common/Cp1251.h"
#include "office/OfficeFixture.h"

namespace miradel {
namespace {

using testing::OfficeRig;

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

TEST(Headless, PanelNumbersAreOneToSixteen) {
    EXPECT_EQ(ParsePanel("1"), 0);
    EXPECT_EQ(ParsePanel("16"), 15);
    EXPECT_EQ(ParsePanel("0"), -1);
    EXPECT_EQ(ParsePanel("17"), -1);
    EXPECT_EQ(ParsePanel("2x"), -1);
}

TEST(Headless, AdvanceCallSettleAndShow) {
    OfficeRig rig;
    rig.StartAndRun();
    rig.office->Config().Set(appcfg::kAutoTariffStart, 1);  // metering starts on the answer
    HeadlessCommands cmd(*rig.office, [&](int64_t ms) { rig.Run(ms); });

    auto last = [&](const std::string& line) { return cmd.Execute(line).back(); };
    EXPECT_EQ(last("login nothing"), "error Пароль не найден!?");
    EXPECT_EQ(last("login qzr40316258"), "ok operator 99 type 0");
    EXPECT_EQ(last("privileges on qzr40316258"), "error no temporary privileges");
    EXPECT_EQ(last("privileges off"), "ok operator rights");
    EXPECT_EQ(last("advance 17 10.00"), "error no panel 17");
    EXPECT_TRUE(StartsWith(last("advance 1 1x"), "error "));
    EXPECT_TRUE(StartsWith(last("advance 1 10.00"), "ok panel 1 state 2 advance 10.00"));
    EXPECT_TRUE(StartsWith(last("advance 1 5.00"), "error "));
    EXPECT_TRUE(StartsWith(last("topup 1 2.50"), "ok panel 1 advance 12.50"));
    EXPECT_EQ(last("quit"), "error Одна из кабин активна!");

    // The client's call: lift, dial, answer, about 20 s of talk, hang up.
    rig.controller.Lift(0);
    EXPECT_EQ(last("wait 0.4"), "ok");
    for (char c : std::string("84951234567")) {
        rig.controller.Dial(0, c == '0' ? 10 : c - '0');
        rig.Run(300);
    }
    rig.controller.Answer(0);
    EXPECT_EQ(last("wait 20"), "ok");
    rig.controller.HangUp(0);
    EXPECT_EQ(last("wait 1"), "ok");

    const auto booths = cmd.Execute("show booths");
    ASSERT_EQ(booths.size(), 17u);
    EXPECT_EQ(booths.back(), "ok 16 booths");
    EXPECT_TRUE(StartsWith(booths[0], "booth 1 kind 1 number 1 state 2 ")) << booths[0];
    EXPECT_NE(booths[0].find(" calls 1 "), std::string::npos) << booths[0];
    EXPECT_NE(booths[0].find(" taken 12.50 "), std::string::npos) << booths[0];
    EXPECT_TRUE(StartsWith(booths[1], "booth 2 kind 1 number 2 state 1 ")) << booths[1];

    const std::string settled = last("settle 1 print");
    EXPECT_TRUE(StartsWith(settled, "ok panel 1 state 1 calls 1 taken 12.50 rest ")) << settled;
    EXPECT_TRUE(StartsWith(last("settle 1 print"), "error "));

    const auto kassa = cmd.Execute("show kassa");
    ASSERT_EQ(kassa.size(), 9u);
    EXPECT_EQ(kassa[0], "kassa 0 Аванс АПП : 0.00");
    EXPECT_EQ(kassa.back(), "ok balanced");
    // 21 s at 1.50 a minute, charged by the booth; counter 3 and the total agree.
    EXPECT_TRUE(StartsWith(kassa[3], "kassa 3       АПП : 0.")) << kassa[3];
    EXPECT_EQ(kassa[3].substr(kassa[3].rfind(' ')), kassa[7].substr(kassa[7].rfind(' ')));

    EXPECT_TRUE(StartsWith(last("show state"),
                           "ok phase 255 operator 99 state \"Состояние программы - Норма\""));
    EXPECT_EQ(last("bogus"), "error unknown command bogus");
    EXPECT_EQ(last("quit"), "ok exit");
    EXPECT_TRUE(cmd.Quit());
    rig.office->Shutdown();
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "spool"));
}

TEST(Headless, DeskCommandsPassTheMenuGuards) {
    OfficeRig rig;
    rig.StartAndRun();
    HeadlessCommands cmd(*rig.office, [&](int64_t ms) { rig.Run(ms); });
    auto last = [&](const std::string& line) { return cmd.Execute(line).back(); };

    // Booth 2 becomes booth number 42; the window's rules decide, the panel is rebuilt.
    EXPECT_EQ(last("set-booth 2 1 42abc"), "ok panel 2 kind 1 number 42 width 720");
    EXPECT_TRUE(StartsWith(last("booth 42 advance 5.00"), "ok panel 2 state 2 advance 5.00"));
    EXPECT_EQ(last("booth 43 advance 5.00"), "error no booth 43");
    EXPECT_EQ(last("collect 0.00"), "error Одна из кабин активна!");
    EXPECT_EQ(last("shift"), "error Одна из кабин активна!");
    EXPECT_EQ(last("set-booth 2 1 42"), "error Кабина активна!");
    EXPECT_TRUE(StartsWith(last("booth 42 settle calc"), "ok panel 2 state 1 "))
        << last("show booths");
    EXPECT_EQ(last("xreport"), "error the fiscal commands need a Меркурий 114.1Ф register");

    // Two dial-around booths are never configured.
    EXPECT_EQ(last("set-booth 9 5 9"), "ok panel 9 kind 5 number 9 width 720");
    const auto second = cmd.Execute("set-booth 4 5 4");
    EXPECT_EQ(second.front(), "message: Error Set: Кабина обзвона уже есть в конфигурации!");
    EXPECT_EQ(second.back(), "ok panel 4 kind 1 number 4 width 720");
    EXPECT_EQ(last("show config 92"), "ok offset 92 i32 8 i16 8 u8 8");

    // The till holds the 5.00 of booth 42's advance less its (empty) settlement.
    EXPECT_EQ(last("collect 99.00"), "error Денег введено больше,чем заработанно!");
    EXPECT_TRUE(StartsWith(last("collect 0.00"), "ok collected ")) << last("show kassa");
    EXPECT_EQ(last("shift"), "ok shift: login PASSWORD next");
    EXPECT_EQ(last("login qzr40316258"), "ok operator 99 type 0");
    std::ifstream in(rig.dir.path() / "hdop.log", std::ios::binary);
    const std::string log = Cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_NE(log.find("Инкассация"), std::string::npos) << log;
}

}  // namespace
}  // namespace miradel
