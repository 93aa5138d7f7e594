// The booth simulator window's rules with a fake set of clients, and the clients on a real
// simulator, whose calls must wait for the simulator's own thread.
#include "BoothSimulatorModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/MemoryLink.h"

namespace miradel::kabsim {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FakeClients final : public SimulatedClients {
  public:
    void Lift(int line) override { calls.push_back("lift " + std::to_string(line)); }
    void HangUp(int line) override { calls.push_back("hangup " + std::to_string(line)); }
    void Dial(int line, int digit) override {
        calls.push_back("dial " + std::to_string(line) + " " + std::to_string(digit));
    }
    void Answer(int line) override { calls.push_back("answer " + std::to_string(line)); }
    void Inductor(int line) override { calls.push_back("inductor " + std::to_string(line)); }

    std::vector<std::string> calls;
};

class BoothSimulator : public ::testing::Test {
  protected:
    FakeClients clients;
    BoothSimulatorModel model{clients};
};

TEST_F(BoothSimulator, ActionsGoToTheChosenBoothsLine) {
    EXPECT_EQ(model.Booth(), 1);
    model.Lift();
    ASSERT_TRUE(model.SelectBooth(16));
    model.Answer();
    model.Inductor();
    ASSERT_TRUE(model.SelectBooth(4));
    model.HangUp();
    EXPECT_THAT(clients.calls, ElementsAre("lift 0", "answer 15", "inductor 15", "hangup 3"));
}

TEST_F(BoothSimulator, BoothsOutsideOneToSixteenAreIgnored) {
    ASSERT_TRUE(model.SelectBooth(7));
    for (int bad : {0, -1, 17, 1000}) {
        EXPECT_FALSE(model.SelectBooth(bad)) << bad;
    }
    EXPECT_EQ(model.Booth(), 7);
    EXPECT_EQ(model.Line(), 6);
}

TEST_F(BoothSimulator, DialSendsTheDigitsOneByOneWithZeroAsTen) {
    struct Case {
        std::string text;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"8495", {"dial 2 8", "dial 2 4", "dial 2 9", "dial 2 5"}},
        {"1 0-9", {"dial 2 1", "dial 2 10", "dial 2 9"}},  // blanks and dashes are skipped
        {"+7(0)", {"dial 2 7", "dial 2 10"}},
        {"", {}},
        {"abc\xd0\x9a", {}},  // letters, a Cyrillic one included: nothing to dial
    };
    model.SelectBooth(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        clients.calls.clear();
        model.SetDialText(c.text);
        EXPECT_EQ(model.Dial(), static_cast<int>(c.calls.size()));
        EXPECT_EQ(clients.calls, c.calls);
        EXPECT_EQ(model.DialText(), c.text);  // kept for dialling again
    }
}

TEST_F(BoothSimulator, AHugePasteDialsABoundedNumber) {
    model.SetDialText(std::string(100000, '5'));
    EXPECT_EQ(model.Dial(), static_cast<int>(BoothSimulatorModel::kMaxDialDigits));
    EXPECT_EQ(clients.calls.size(), BoothSimulatorModel::kMaxDialDigits);
}

TEST_F(BoothSimulator, StatusTellsWhatTheOfficeDidToTheLine) {
    LineRecord fresh;
    EXPECT_EQ(LineStatusText(fresh), "handset down; line not switched yet; office dialled: none");

    LineRecord talking;
    talking.condition = LineCondition::kReversed;
    talking.switchStates = {1, 2};
    talking.dialled = {8, 10, 5};
    EXPECT_EQ(LineStatusText(talking), "answered; line microphone on (talk); office dialled: 805");

    LineRecord odd;
    odd.condition = LineCondition::kHandsetUp;
    odd.switchStates = {3, 9};
    odd.dialled = {0, 11};
    EXPECT_EQ(LineStatusText(odd), "handset lifted; line state 9; office dialled: ??");

    model.SelectBooth(5);
    model.ShowLine(talking);
    EXPECT_EQ(model.Status(), "Booth 5: answered; line microphone on (talk); office dialled: 805");
    model.SelectBooth(6);  // the old booth's status must not stand under the new number
    EXPECT_THAT(model.Status(), IsEmpty());
}

TEST(KabSimClients, CallsWaitForTheSimulatorsThread) {
    VirtualClock clock;
    VirtualScheduler scheduler(clock);
    MemoryLink link(clock);
    ASSERT_TRUE(link.DeviceEnd().Open(kControllerLineSettings));
    KabSim sim(link.DeviceEnd(), scheduler);
    KabSimClients clients(sim, scheduler);
    BoothSimulatorModel model(clients);
    model.SelectBooth(3);

    model.Lift();
    EXPECT_EQ(sim.Line(2).condition, LineCondition::kHandsetDown);  // only posted so far
    scheduler.RunDue();
    EXPECT_EQ(sim.Line(2).condition, LineCondition::kHandsetUp);

    model.Answer();
    scheduler.RunDue();
    EXPECT_EQ(sim.Line(2).condition, LineCondition::kReversed);
    model.HangUp();
    scheduler.RunDue();
    EXPECT_EQ(sim.Line(2).condition, LineCondition::kHandsetDown);
    EXPECT_EQ(sim.Line(1).condition, LineCondition::kHandsetDown);
}

}  // namespace
}  // namespace miradel::kabsim
