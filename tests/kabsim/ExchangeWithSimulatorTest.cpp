// The exchange engine against the booth controller simulator over an in-memory cable, in
// virtual time: what a scripted client does arrives as booth events, in order, and every
// controller message is confirmed.

#include <gtest/gtest.h>

#include <tuple>

#include "KabSim.h"
#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "controller/ControllerExchange.h"
#include "controller/MemoryLink.h"

namespace miradel {
namespace {

using Event = std::tuple<int, uint32_t, int32_t>;

class RecordingBooths final : public BoothEventSink {
  public:
    void RaiseBoothEvent(int panel, uint32_t event, int32_t argument) override {
        events.emplace_back(panel, event, argument);
    }
    std::vector<Event> events;
};

struct Office {
    VirtualClock clock;
    VirtualScheduler scheduler{clock};
    MemoryLink link{clock};
    RecordingBooths booths;
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    ScriptedPrompt prompt{PromptAnswer::Ok};
    ExchangeDebugView debug;
    ControllerExchange exchange{
        {scheduler, link.PcEnd(), booths, status, log, prompt, debug, nullptr, nullptr, nullptr}};
    kabsim::KabSim controller{link.DeviceEnd(), scheduler};

    explicit Office(std::string_view script) {
        const kabsim::ScriptParse parsed = kabsim::ParseKabScript(script);
        EXPECT_TRUE(parsed.errors.empty());
        EXPECT_TRUE(link.DeviceEnd().Open(kControllerLineSettings));
        controller.Start();
        controller.RunScript(parsed.script, kabsim::KabSim::ScriptStart::kOnPcStart);
        EXPECT_TRUE(exchange.StartExchange());
        exchange.RequestStart();
    }
};

TEST(ExchangeWithSimulator, ScriptedCallArrivesAsBoothEventsAndEveryMessageIsConfirmed) {
    Office office(
        "at 1.0 line 3 lift\n"
        "line 3 dial 5551230 pace 0.3\n"
        "line 3 answer after 2\n"
        "line 3 talk 20\n"
        "line 3 hangup\n");
    office.scheduler.RunFor(30'000);

    std::vector<Event> expected{{3, 2, 0}};
    for (int digit : {5, 5, 5, 1, 2, 3, 10})
        expected.emplace_back(3, 3, digit);
    expected.emplace_back(3, 4, 0);
    expected.emplace_back(3, 5, 0);
    EXPECT_EQ(office.booths.events, expected);

    const auto& counters = office.controller.Counters();
    EXPECT_EQ(counters.messagesSent, 10);
    EXPECT_EQ(counters.messagesConfirmed, 10);
    EXPECT_EQ(counters.messagesGivenUp, 0);
    EXPECT_EQ(counters.repeatsSent, 0);
    EXPECT_TRUE(office.exchange.Running());
    EXPECT_EQ(office.status.States().size(), 0u);  // never left the normal state
}

TEST(ExchangeWithSimulator, CorruptedMessagesAreRepeatedByTheControllerAndDeliveredOnce) {
    Office office(
        "at 1.0 misbehave corrupt 2\n"
        "line 7 lift\n"
        "wait 2\n"
        "line 7 hangup\n");
    office.scheduler.RunFor(5'000);
    EXPECT_EQ(office.booths.events, (std::vector<Event>{{7, 2, 0}, {7, 5, 0}}));
    EXPECT_EQ(office.controller.Counters().messagesGivenUp, 0);
}

TEST(ExchangeWithSimulator, SilentControllerStopsTheLinkAndRestoreBringsItBack) {
    Office office(
        "at 1.0 misbehave silent on\n"
        "wait 20\n"
        "misbehave silent off\n");
    office.scheduler.RunFor(19'000);
    EXPECT_EQ(office.debug.Read().reason, "LongDelay!!!");
    EXPECT_TRUE(office.exchange.Stopped());
    ASSERT_EQ(office.prompt.Asked().size(), 1u);

    office.scheduler.RunFor(3'000);  // the controller answers again
    office.exchange.RestoreLink();
    office.scheduler.RunFor(1'000);
    EXPECT_TRUE(office.exchange.Running());
    EXPECT_FALSE(office.exchange.WaitingForAck());
    EXPECT_EQ(office.status.LastText(), "Состояние программы - Норма");
}

}  // namespace
}  // namespace miradel
