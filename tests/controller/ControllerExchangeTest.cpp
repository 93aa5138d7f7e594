#include "controller/ControllerExchange.h"

#include <gtest/gtest.h>

#include "controller/ControllerFrames.h"
#include "controller/ExchangeRig.h"
#include "controller/PortFault.h"

namespace miradel {
namespace {

using testing::ExchangeRig;

constexpr uint8_t kStart = 1;
constexpr uint8_t kKeepAlive = 0;
constexpr uint8_t kConfirm = 20;
constexpr uint8_t kSetLine = 3;

const Frame kSwitchOffLine2 = SetLineStateCommand(2, LineState::kOff);

TEST(ControllerExchange, FirstStepSendsTheStartFrameAndTheAckLetsQueuedFramesGo) {
    ExchangeRig rig;
    rig.port.autoAck = false;
    ASSERT_TRUE(rig.exchange.StartExchange());
    EXPECT_FALSE(rig.port.rts);
    EXPECT_TRUE(rig.port.dtr);
    rig.exchange.QueueFrame(kSwitchOffLine2);
    rig.Run(4);
    EXPECT_TRUE(rig.port.written.empty());  // no start requested yet

    rig.exchange.RequestStart();
    rig.Run(5);
    EXPECT_EQ(rig.port.written, (std::vector<uint8_t>{0x7E, 0x02, 0x01, 0x03}));
    EXPECT_EQ(rig.debug.Read().flagSend, "FFF");

    rig.Run(200);  // no "@" yet: nothing else goes
    EXPECT_EQ(rig.port.sent.size(), 1u);
    rig.port.Inject({0x7E, 0x02, 0x40, 0x42});
    rig.Run(2);
    EXPECT_EQ(rig.debug.Read().flagSend, "0");
    EXPECT_TRUE(rig.exchange.Running());
    rig.Run(40);  // the next sender run
    ASSERT_EQ(rig.port.sent.size(), 2u);
    EXPECT_EQ(rig.port.sent[1].frame, kSwitchOffLine2);
    EXPECT_EQ(rig.debug.Read().flagSend, "FFF");
}

TEST(ControllerExchange, MessageIsDeliveredThenConfirmedAndTheConfirmationNeedsNoAck) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.Inject({0x7E, 0x03, 0x41, 0x03, 0x47});  // handset up on line 3
    rig.Run(10);
    ASSERT_EQ(rig.booths.events.size(), 1u);
    EXPECT_EQ(rig.booths.events[0], std::make_tuple(3, 2u, 0));
    rig.exchange.QueueFrame(kSwitchOffLine2);
    rig.Run(80);
    const auto confirmations = rig.port.SentWithCode(kConfirm);
    const auto commands = rig.port.SentWithCode(kSetLine);
    ASSERT_EQ(confirmations.size(), 1u);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(confirmations[0].frame, (Frame{0x7E, 0x02, 0x14, 0x16}));
    // The command follows on the very next sender run (32 ms on, plus its longer send time)
    // although nobody acknowledged the confirmation.
    EXPECT_EQ(commands[0].atMs - confirmations[0].atMs, 32 + (6 - 4));
}

TEST(ControllerExchange, UnacknowledgedFrameIsSentThirtyOneTimesThenTheLinkStops) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.autoAck = false;
    rig.prompt.Queue(PromptAnswer::Ok);
    rig.exchange.QueueFrame(kSwitchOffLine2);
    rig.Run(20'000);

    const auto sends = rig.port.SentWithCode(kSetLine);
    ASSERT_EQ(sends.size(), 31u);
    const int64_t span = sends.back().atMs - sends.front().atMs;
    EXPECT_GT(span, 15'000);
    EXPECT_LT(span, 16'500);
    EXPECT_EQ(rig.debug.Read().reason, "LongDelay!!!");
    EXPECT_EQ(rig.status.States().front().text, "Состояние программы - СТОП!!!");
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Автоном !!!");
    EXPECT_TRUE(rig.status.WindowTimerDisabled());

    ASSERT_EQ(rig.booths.events.size(), 32u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(rig.booths.events[i], std::make_tuple(i, 5u, 0));
        EXPECT_EQ(rig.booths.events[16 + i], std::make_tuple(i, 9u, 0));
    }
    const auto asked = rig.prompt.Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Автономный режим?");
    EXPECT_EQ(asked[0].caption, "Потеря связи с контроллером");
    EXPECT_EQ(asked[0].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(rig.exchange.Stopped());
    EXPECT_FALSE(rig.port.IsOpen());
    ASSERT_GE(rig.log.Entries().size(), 2u);
    EXPECT_EQ(rig.log.Entries()[0].event, 3);
    EXPECT_EQ(rig.log.Entries()[0].values,
              std::vector<std::string>{"Состояние программы - СТОП!!!"});

    // Autonomous: nothing more runs or is sent.
    const std::size_t bytes = rig.port.written.size();
    rig.Run(10'000);
    EXPECT_EQ(rig.port.written.size(), bytes);
    EXPECT_EQ(rig.scheduler.Waiting(), 0u);
}

TEST(ControllerExchange, CancelReopensThePortAndRepeatsTheStartUntilAcknowledged) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.autoAck = false;
    rig.prompt.Queue(PromptAnswer::Cancel);
    rig.exchange.QueueFrame(kSwitchOffLine2);  // lost with the queues on cancel
    rig.Run(17'000);
    ASSERT_EQ(rig.prompt.Asked().size(), 1u);
    EXPECT_EQ(rig.port.opens, 2);
    EXPECT_TRUE(rig.port.IsOpen());
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Норма");
    EXPECT_TRUE(rig.exchange.TimersEnabled());

    const std::size_t startsBefore = rig.port.SentWithCode(kStart).size();
    rig.Run(2'000);  // the start frame goes out and is repeated, unanswered
    EXPECT_GE(rig.port.SentWithCode(kStart).size(), startsBefore + 3);
    rig.port.autoAck = true;
    rig.Run(1'000);
    EXPECT_TRUE(rig.exchange.Running());
    EXPECT_FALSE(rig.exchange.WaitingForAck());
    EXPECT_TRUE(rig.port.SentWithCode(kSetLine).size() == 31u);  // the old frame did not come back
}

TEST(ControllerExchange, OneKeepAliveForEachTwoAndAHalfSecondsOfSilence) {
    ExchangeRig rig;
    rig.StartLink();
    rig.debug.SetViewOn(true);
    rig.debug.SetBlockService(true);
    rig.Run(10'000);
    const auto keepAlives = rig.port.SentWithCode(kKeepAlive);
    ASSERT_EQ(keepAlives.size(), 3u);
    for (std::size_t i = 1; i < keepAlives.size(); ++i) {
        const int64_t gap = keepAlives[i].atMs - keepAlives[i - 1].atMs;
        EXPECT_GE(gap, 2'500);
        EXPECT_LT(gap, 2'600);
    }
    // Only service traffic passed: with service lines blocked the view stays empty.
    EXPECT_TRUE(rig.debug.Read().view.empty());
}

TEST(ControllerExchange, SilentControllerGetsNoSecondKeepAliveUntilTheFirstWasTaken) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.autoAck = false;
    rig.exchange.QueueFrame(kSwitchOffLine2);  // its repeats keep the sender busy
    rig.Run(7'000);
    EXPECT_EQ(rig.exchange.QueueLength(), 1u);  // one keep-alive waits, never two
}

TEST(ControllerExchange, FramesQueuedInAutonomousModeGoRightAfterTheRestoredStart) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.Inject({0x7E, 0x02, 0xFD, 0xFF});  // the controller reports a time-out
    rig.Run(10);
    EXPECT_EQ(rig.debug.Read().reason, "TimeOut!!!");
    ASSERT_TRUE(rig.exchange.Stopped());

    rig.exchange.QueueFrame(kSwitchOffLine2);  // the operator settles a booth meanwhile
    rig.Run(5'000);
    EXPECT_EQ(rig.port.SentWithCode(kSetLine).size(), 0u);

    const std::size_t before = rig.port.sent.size();
    rig.exchange.RestoreLink();
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Норма");
    rig.Run(100);
    ASSERT_GE(rig.port.sent.size(), before + 3);
    EXPECT_EQ(rig.port.sent[before].frame, StartFrame());
    // The time-out message's confirmation was queued after the stop, then the settled line.
    EXPECT_EQ(rig.port.sent[before + 1].frame, ConfirmationFrame());
    EXPECT_EQ(rig.port.sent[before + 2].frame, kSwitchOffLine2);
}

TEST(ControllerExchange, RestoringTwiceLeavesOneInstanceOfEachTask) {
    ExchangeRig rig;
    rig.StartLink();
    rig.exchange.EnterAutonomous(kLinkStopFiscal);
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Авария ККМ!");
    rig.exchange.RestoreLink();
    rig.exchange.RestoreLink();
    EXPECT_EQ(rig.scheduler.Waiting(), 4u);
    rig.Run(1'000);
    EXPECT_EQ(rig.scheduler.Waiting(), 4u);
    EXPECT_TRUE(rig.exchange.Running());

    // After a stop in which every task ran down, restoring starts each one again.
    rig.port.Inject({0x7E, 0x02, 0xFC, 0xFE});
    rig.Run(500);
    EXPECT_EQ(rig.scheduler.Waiting(), 0u);
    rig.exchange.RestoreLink();
    rig.exchange.RestoreLink();
    EXPECT_EQ(rig.scheduler.Waiting(), 4u);
}

TEST(ControllerExchange, StopFromControllerIsNotConfirmedAndShowsTheCounters) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.Inject({0x7E, 0x02, 0xFC, 0xFE});
    rig.Run(10);
    const auto snapshot = rig.debug.Read();
    EXPECT_EQ(snapshot.reason, "Stop programm!");
    EXPECT_NE(snapshot.timeText, "Time - ");
    EXPECT_NE(snapshot.delayText, "Delay - ");
    rig.exchange.RestoreLink();
    rig.Run(100);
    EXPECT_TRUE(rig.port.SentWithCode(kConfirm).empty());
}

TEST(ControllerExchange, FramesAreDroppedWhileTheFiscalRegisterIsFailed) {
    ExchangeRig rig;
    rig.StartLink();
    rig.exchange.SetFiscalFailed(true);
    rig.exchange.QueueFrame(kSwitchOffLine2);
    const uint8_t raw[] = {4, 2};
    rig.exchange.QueueFrame(raw);
    EXPECT_EQ(rig.exchange.QueueLength(), 0u);
    rig.exchange.SetFiscalFailed(false);
    rig.exchange.QueueFrame(raw);
    EXPECT_EQ(rig.exchange.QueueLength(), 1u);
}

TEST(ControllerExchange, MissingPortGoesAutonomousWithoutAQuestion) {
    ExchangeRig rig;
    rig.port.openFails = true;
    EXPECT_FALSE(rig.exchange.StartExchange());
    EXPECT_EQ(rig.debug.Read().reason, "Alarm COM-port");
    EXPECT_TRUE(rig.exchange.Stopped());
    EXPECT_EQ(rig.status.LastText(), "Состояние программы - Автоном !!!");
    const auto asked = rig.prompt.Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "COM-порта для блока АПП с таким номером НЕТ!");
    EXPECT_EQ(rig.booths.events.size(), 32u);
}

TEST(ControllerExchange, RearmThatKeepsFailingRaisesTheTasksErrorText) {
    ExchangeRig rig;
    rig.StartLink();
    rig.scheduler.RefuseNext(11);
    rig.Run(1);
    const auto errors = rig.status.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Ошибка 1 миллисек. таймера передатчика");
    EXPECT_FALSE(rig.exchange.TaskActive(kTaskTransmitter));
    EXPECT_TRUE(rig.exchange.TaskActive(kTaskReceiver));
}

TEST(ControllerExchange, LineErrorPurgesShowsItsWordAndIsLogged) {
    ExchangeRig rig;
    rig.StartLink();
    rig.port.faults = kPortFaultRxParity | kPortFaultBreak;
    rig.Run(2);
    EXPECT_EQ(rig.debug.Read().hardwareError, "Error ceRxParity");
    EXPECT_EQ(rig.port.purges, 1);
    ASSERT_FALSE(rig.log.Entries().empty());
    EXPECT_EQ(rig.log.Entries().back().event, 32);
}

TEST(ControllerExchange, StoppedTimersRunDownAndRestartBringsThemBack) {
    ExchangeRig rig;
    rig.StartLink();
    rig.exchange.StopTimers();
    rig.Run(200);
    EXPECT_EQ(rig.scheduler.Waiting(), 0u);
    rig.exchange.RestartTimers();
    EXPECT_EQ(rig.scheduler.Waiting(), 4u);
    rig.exchange.SetApplicationRunning(false);
    rig.Run(200);
    EXPECT_EQ(rig.scheduler.Waiting(), 0u);
}

}  // namespace
}  // namespace miradel
