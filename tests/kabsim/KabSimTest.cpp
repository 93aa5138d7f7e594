// The simulator in virtual time on a MemoryLink; the test plays the PC by hand.

#include "KabSim.h"

#include <memory>
#include <random>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controller/ControllerFrames.h"
#include "controller/FrameReceiver.h"
#include "controller/HexBytes.h"
#include "controller/MemoryLink.h"
#include "controller/PortFault.h"

namespace miradel::kabsim {
namespace {

using miradel::testing::HexFrame;
using miradel::testing::HexText;
using ::testing::ElementsAre;

struct Arrival {
    int64_t atMs;
    ReceiveKind kind;
    Frame frame;
};

// Frames as hex text, for readable comparisons.
std::vector<std::string> Texts(const std::vector<Arrival>& arrivals) {
    std::vector<std::string> texts;
    for (const Arrival& arrival : arrivals) {
        texts.push_back(HexText(arrival.frame.Bytes()));
    }
    return texts;
}

std::vector<Arrival> Messages(const std::vector<Arrival>& arrivals) {
    std::vector<Arrival> messages;
    for (const Arrival& arrival : arrivals) {
        if (arrival.kind == ReceiveKind::kFrame) {
            messages.push_back(arrival);
        }
    }
    return messages;
}

class KabSimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pc_.Open(kControllerLineSettings));
        ASSERT_TRUE(link_.DeviceEnd().Open(kControllerLineSettings));
    }

    KabSim& Sim(KabSimOptions options = {}) {
        if (!sim_) {
            sim_ = std::make_unique<KabSim>(link_.DeviceEnd(), scheduler_, options);
            sim_->Start();
        }
        return *sim_;
    }

    void Send(const Frame& frame) { ASSERT_TRUE(pc_.Write(frame.Bytes())); }
    void Send(std::string_view hex) { Send(HexFrame(hex)); }

    // Runs `ms` milliseconds, reading the PC end every millisecond. With `confirm` the PC
    // confirms every message with a right checksum as soon as it arrives.
    std::vector<Arrival> Run(int64_t ms, bool confirm = false) {
        std::vector<Arrival> arrivals;
        for (int64_t step = 0; step < ms; ++step) {
            scheduler_.RunFor(1);
            uint8_t buffer[64];
            while (std::size_t n = pc_.Read(buffer)) {
                for (std::size_t i = 0; i < n; ++i) {
                    const ReceiveOutcome outcome = pcReceiver_.FeedByte(buffer[i]);
                    if (outcome.kind == ReceiveKind::kNothing) {
                        continue;
                    }
                    arrivals.push_back({clock_.MonotonicMs(), outcome.kind, outcome.bytes});
                    if (confirm && outcome.kind == ReceiveKind::kFrame &&
                        CheckFrame(outcome.bytes)) {
                        Send(ConfirmationFrame());
                    }
                }
            }
        }
        return arrivals;
    }

    VirtualClock clock_;
    VirtualScheduler scheduler_{clock_};
    MemoryLink link_{clock_};
    SerialPort& pc_ = link_.PcEnd();
    FrameReceiver pcReceiver_;
    std::unique_ptr<KabSim> sim_;
};

TEST_F(KabSimTest, EveryGoodFrameButAConfirmationIsAcknowledgedAfterTheDelay) {
    struct Case {
        std::string frame;
        int acks;
    };
    const Case cases[] = {
        {"7E 02 01 03", 1},        // start
        {"7E 02 00 02", 1},        // keep-alive
        {"7E 04 03 04 02 0D", 1},  // set line 4 to talk
        {"7E 04 06 01 0A 15", 1},  // dial 0 on line 1
        {"7E 03 07 05 0F", 1},     // short whistle
        {"7E 02 08 0A", 1},        // call signal
        {"7E 02 05 07", 1},        // stop-reset, which we never send
        {"7E 02 33 35", 1},        // unknown code
        {"7E 04 03 10 01 18", 1},  // line 16 does not exist
        {"7E 02 14 16", 0},        // confirmation
        {"7E 02 01 04", 0},        // bad checksum
        {"31 32 33", 0},           // no frame at all
    };
    KabSim& sim = Sim();
    for (const Case& c : cases) {
        Send(c.frame);
        const std::vector<Arrival> arrivals = Run(50);
        ASSERT_EQ(static_cast<int>(arrivals.size()), c.acks) << c.frame;
        for (const Arrival& arrival : arrivals) {
            EXPECT_EQ(arrival.kind, ReceiveKind::kAcknowledgement) << c.frame;
        }
    }
    EXPECT_EQ(sim.Counters().acksSent, 9);
    EXPECT_EQ(sim.Counters().badChecksums, 1);
    EXPECT_EQ(sim.Counters().strayConfirmations, 1);
    EXPECT_EQ(sim.Counters().commands[0x01], 1);
}

TEST_F(KabSimTest, TheAcknowledgementTakesTheWireTimeAndTheDelay) {
    for (int64_t delay : {0, 2, 50}) {
        KabSimOptions options;
        options.ackDelayMs = delay;
        sim_.reset();
        KabSim& sim = Sim(options);
        const int64_t sentAt = clock_.MonotonicMs();
        Send(StartFrame());
        const std::vector<Arrival> arrivals = Run(100);
        ASSERT_EQ(arrivals.size(), 1u);
        // 4 bytes there, the delay, 4 bytes back, at 1 ms a byte.
        EXPECT_EQ(arrivals[0].atMs - sentAt, 4 + delay + 4) << delay;
        EXPECT_EQ(sim.Counters().acksSent, 1);
    }
}

TEST_F(KabSimTest, LineStateQuestionsAreAnsweredAfterTheAcknowledgement) {
    KabSim& sim = Sim();
    sim.SetCondition(0, LineCondition::kHandsetDown);
    sim.SetCondition(3, LineCondition::kHandsetUp);
    sim.SetCondition(15, LineCondition::kReversed);
    struct Case {
        std::string question;
        std::string answer;  // empty: no answer
    };
    const Case cases[] = {
        {"7E 03 04 00 07", "7E 04 45 00 00 49"},
        {"7E 03 04 03 0A", "7E 04 45 03 01 4D"},
        {"7E 03 04 0F 16", "7E 04 45 0F 02 5A"},
        {"7E 03 04 10 17", ""},  // no line 16
        {"7E 02 04 06", ""},     // no line given
    };
    for (const Case& c : cases) {
        Send(c.question);
        const std::vector<Arrival> arrivals = Run(100, true);
        ASSERT_FALSE(arrivals.empty()) << c.question;
        EXPECT_EQ(arrivals[0].kind, ReceiveKind::kAcknowledgement) << c.question;
        const std::vector<std::string> texts = Texts(Messages(arrivals));
        if (c.answer.empty()) {
            EXPECT_TRUE(texts.empty()) << c.question;
        } else {
            EXPECT_THAT(texts, ElementsAre(c.answer)) << c.question;
        }
    }
    EXPECT_EQ(sim.Line(3).stateQuestions, 1);

    // The answer follows the line's life.
    sim.Lift(0);
    Run(50, true);
    Send("7E 03 04 00 07");
    EXPECT_THAT(Texts(Messages(Run(100, true))), ElementsAre("7E 04 45 00 01 4A"));
}

TEST_F(KabSimTest, SwitchingDiallingAndWhistlesAreRecordedPerLine) {
    KabSim& sim = Sim();
    for (const char* frame : {"7E 04 03 04 01 0C", "7E 04 03 04 02 0D", "7E 04 06 07 05 16",
                              "7E 04 06 07 0A 1B", "7E 03 07 04 0E", "7E 04 03 04 00 0B"}) {
        Send(frame);
        Run(30);
    }
    EXPECT_THAT(sim.Line(4).switchStates, ElementsAre(1, 2, 0));
    EXPECT_EQ(sim.Line(4).whistles, 1);
    EXPECT_THAT(sim.Line(7).dialled, ElementsAre(5, 10));
    EXPECT_TRUE(sim.Line(7).switchStates.empty());
    EXPECT_EQ(sim.Counters().commands[0x03], 3);
    EXPECT_EQ(sim.Counters().commands[0x06], 2);
    EXPECT_EQ(sim.Counters().framesIn, 6);
    // A line that does not exist reads as an untouched one.
    EXPECT_TRUE(sim.Line(16).switchStates.empty());
}

TEST_F(KabSimTest, AMessageIsRepeatedUntilConfirmed) {
    KabSimOptions options;
    options.repeatTimeoutMs = 300;
    KabSim& sim = Sim(options);
    const int64_t start = clock_.MonotonicMs();
    sim.Lift(2);
    std::vector<Arrival> arrivals = Run(700);
    ASSERT_EQ(arrivals.size(), 3u);
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_EQ(HexText(arrivals[i].frame.Bytes()), "7E 03 41 02 46");
        EXPECT_EQ(arrivals[i].atMs - start, 5 + 300 * static_cast<int64_t>(i));
    }
    Send(ConfirmationFrame());
    EXPECT_TRUE(Run(2000).empty());
    EXPECT_EQ(sim.Counters().messagesSent, 1);
    EXPECT_EQ(sim.Counters().repeatsSent, 2);
    EXPECT_EQ(sim.Counters().messagesConfirmed, 1);
}

TEST_F(KabSimTest, AMessageNeverConfirmedIsGivenUpAndTheNextOneGoes) {
    KabSimOptions options;
    options.repeatTimeoutMs = 100;
    options.maxRepeats = 3;
    KabSim& sim = Sim(options);
    sim.Lift(1);
    sim.HangUp(1);
    const std::vector<Arrival> arrivals = Run(450);
    EXPECT_THAT(Texts(arrivals), ElementsAre("7E 03 41 01 45", "7E 03 41 01 45", "7E 03 41 01 45",
                                             "7E 03 41 01 45", "7E 03 42 01 46"));
    EXPECT_EQ(sim.Counters().messagesGivenUp, 1);
    const std::vector<KabEvent> lost = sim.EventsOf(KabEventKind::kGaveUp);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].attempt, 4);
}

TEST_F(KabSimTest, MessagesGoOneAtATimeInOrder) {
    KabSim& sim = Sim();
    sim.Lift(5);
    sim.Dial(5, 10);
    sim.Inductor(5);
    const uint8_t noAction[] = {0xFE};
    sim.SendMessage(noAction);
    // Without confirmations only the first one ever shows.
    EXPECT_THAT(Texts(Run(250)), ElementsAre("7E 03 41 05 49"));
    const std::vector<Arrival> arrivals = Run(200, true);
    EXPECT_THAT(Texts(arrivals), ElementsAre("7E 03 41 05 49", "7E 04 43 05 0A 56",
                                             "7E 03 46 05 4E", "7E 02 FE 00"));
    EXPECT_EQ(sim.Counters().messagesConfirmed, 4);
}

TEST_F(KabSimTest, StopIsSentOnceAndATimeOutWaitsForItsConfirmation) {
    KabSimOptions options;
    options.repeatTimeoutMs = 100;
    KabSim& sim = Sim(options);
    const uint8_t stop[] = {0xFC};
    const uint8_t timeOut[] = {0xFD};
    sim.SendMessage(stop);
    sim.SendMessage(timeOut);
    EXPECT_THAT(Texts(Run(250)),
                ElementsAre("7E 02 FC FE", "7E 02 FD FF", "7E 02 FD FF", "7E 02 FD FF"));
}

TEST_F(KabSimTest, AStartFromThePcGivesItAFullTimeOut) {
    KabSimOptions options;
    options.repeatTimeoutMs = 300;
    KabSim& sim = Sim(options);
    sim.Lift(0);
    Run(250);            // first send at 0, arrived
    Send(StartFrame());  // arrives at 254
    const std::vector<Arrival> arrivals = Messages(Run(600));
    ASSERT_FALSE(arrivals.empty());
    // Repeated 300 ms after the start arrived, not 300 ms after the first send.
    EXPECT_EQ(arrivals[0].atMs, 254 + 300 + 5);
}

TEST_F(KabSimTest, MisbehaviourChangesWhatThePcSees) {
    KabSimOptions options;
    options.repeatTimeoutMs = 100;
    KabSim& sim = Sim(options);

    sim.SetNoAck(true);
    Send(StartFrame());
    Send("7E 03 04 00 07");
    EXPECT_THAT(Texts(Run(50, true)), ElementsAre("7E 04 45 00 00 49")) << "answers, no acks";
    sim.SetNoAck(false);

    sim.SetSilent(true);
    Send(StartFrame());
    sim.Lift(3);
    EXPECT_TRUE(Run(500).empty()) << "silent: neither acks nor messages";
    sim.SetSilent(false);
    EXPECT_THAT(Texts(Run(50, true)), ElementsAre("7E 03 41 03 47")) << "the message goes after";

    sim.CorruptNext(2);
    sim.HangUp(3);
    const std::vector<Arrival> corrupted = Run(250, true);
    ASSERT_EQ(corrupted.size(), 3u);
    EXPECT_FALSE(CheckFrame(corrupted[0].frame));
    EXPECT_FALSE(CheckFrame(corrupted[1].frame));
    EXPECT_EQ(HexText(corrupted[2].frame.Bytes()), "7E 03 42 03 48");
    EXPECT_EQ(corrupted[1].atMs - corrupted[0].atMs, 100);

    const uint8_t garbage[] = {0x31, 0x32, 0x33};
    sim.SendGarbage(garbage);
    Send(ConfirmationFrame());  // nothing waits for it
    Run(20);
    EXPECT_EQ(pcReceiver_.Pending(), 3u);
    EXPECT_TRUE(pcReceiver_.InErrorMode());
    EXPECT_EQ(sim.Counters().strayConfirmations, 1);
}

TEST_F(KabSimTest, ThePortsLineErrorsAreCountedAndLoggedWhenTheyStart) {
    KabSim& sim = Sim();
    Run(1);  // from here on each millisecond is one read of the port
    // A fault that lasts over several reads is one entry in the log.
    for (int poll = 0; poll < 3; ++poll) {
        link_.InjectLineErrors(MemoryLink::End::kDevice, kPortFaultFraming);
        Run(1);
    }
    Run(5);
    link_.InjectLineErrors(MemoryLink::End::kDevice, kPortFaultBreak);
    Run(1);
    EXPECT_EQ(sim.Counters().lineErrors, 4);
    const std::vector<KabEvent> errors = sim.EventsOf(KabEventKind::kLineError);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].faults, kPortFaultFraming);
    EXPECT_EQ(errors[1].faults, kPortFaultBreak);
}

TEST_F(KabSimTest, NoiseFromThePcNeverStopsIt) {
    KabSim& sim = Sim();
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint8_t> noise(random() % 40);
        for (uint8_t& byte : noise) {
            byte = static_cast<uint8_t>(random() % 4 == 0 ? 0x7E : random());
        }
        ASSERT_TRUE(pc_.Write(noise));
        Run(60, true);
    }
    // Ten bytes of garbage are enough to end any half frame; then a start is acknowledged.
    ASSERT_TRUE(pc_.Write(std::vector<uint8_t>(10, 0x00)));
    Run(20, true);
    const int acks = sim.Counters().acksSent;
    Send(StartFrame());
    Run(30, true);
    EXPECT_EQ(sim.Counters().acksSent, acks + 1);
}

TEST_F(KabSimTest, AScriptedCallGoesOutAtItsTimes) {
    const ScriptParse parse = ParseKabScript(
        "at 2.0 line 3 lift\n"
        "line 3 dial 5551234 pace 0.3\n"
        "line 3 answer after 4\n"
        "line 3 talk 20\n"
        "line 3 hangup\n");
    ASSERT_TRUE(parse.Ok());
    KabSim& sim = Sim();
    int finished = 0;
    sim.SetFinishedHandler([&] { ++finished; });
    const int64_t start = clock_.MonotonicMs();
    sim.RunScript(parse.script);

    const std::vector<Arrival> arrivals = Messages(Run(29000, true));
    EXPECT_THAT(
        Texts(arrivals),
        ElementsAre("7E 03 41 03 47", "7E 04 43 03 05 4F", "7E 04 43 03 05 4F", "7E 04 43 03 05 4F",
                    "7E 04 43 03 01 4B", "7E 04 43 03 02 4C", "7E 04 43 03 03 4D",
                    "7E 04 43 03 04 4E", "7E 03 44 03 4A", "7E 03 42 03 48"));
    std::vector<int64_t> sentAt;
    for (const KabEvent& event : sim.EventsOf(KabEventKind::kMessageOut)) {
        EXPECT_EQ(event.attempt, 1);
        sentAt.push_back(event.atMs - start);
    }
    EXPECT_THAT(sentAt, ElementsAre(2000, 2300, 2600, 2900, 3200, 3500, 3800, 4100, 8100, 28100));
    EXPECT_TRUE(sim.Finished());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(sim.Line(3).condition, LineCondition::kHandsetDown);
}

TEST_F(KabSimTest, ScriptMisbehaviourStepsAndAWaitForTheStartFrame) {
    const ScriptParse parse = ParseKabScript(
        "misbehave corrupt 1\n"
        "send FE\n"
        "misbehave garbage 31 32 33\n"
        "wait 0.5\n"
        "misbehave noack on\n");
    ASSERT_TRUE(parse.Ok());
    KabSimOptions options;
    options.repeatTimeoutMs = 200;
    KabSim& sim = Sim(options);
    sim.RunScript(parse.script, KabSim::ScriptStart::kOnPcStart);
    EXPECT_TRUE(Run(1000).empty()) << "nothing before the start frame";
    EXPECT_FALSE(sim.Finished());

    Send(StartFrame());
    const std::vector<Arrival> arrivals = Run(600, true);
    ASSERT_EQ(arrivals.size(), 4u);
    // FE with a bad checksum, the garbage (cut off by the 7E of the acknowledgement that
    // was waiting for its delay), the acknowledgement, and FE repeated, right this time.
    EXPECT_EQ(arrivals[0].kind, ReceiveKind::kFrame);
    EXPECT_FALSE(CheckFrame(arrivals[0].frame));
    EXPECT_EQ(arrivals[1].kind, ReceiveKind::kRejected);
    EXPECT_EQ(HexText(arrivals[1].frame.Bytes()), "31 32 33");
    EXPECT_EQ(arrivals[2].kind, ReceiveKind::kAcknowledgement);
    EXPECT_EQ(HexText(arrivals[3].frame.Bytes()), "7E 02 FE 00");
    EXPECT_TRUE(sim.Finished());

    Send(StartFrame());
    EXPECT_TRUE(Run(50).empty()) << "noack is on at the end of the script";
}

}  // namespace
}  // namespace miradel::kabsim
