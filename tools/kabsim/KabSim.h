#pragma once
// The booth controller simulator: plays the controller's end of the serial line, on any
// SerialPort, driven by a Scheduler (virtual time on a MemoryLink, real time on a
// pseudo-terminal or a device).
//
// What it does with the PC's frames:
//   - every frame with a right checksum, except a confirmation (20), is acknowledged with "@"
//     after the acknowledgement delay; a frame with a wrong checksum is not (the PC repeats
//     it), bytes that form no frame are dropped;
//   - 3 (set line state) and 6 (dial digit) are recorded per line, 7 (short whistle) counted;
//   - 4 (ask line state) is answered with "E" and the line's state (0 handset down,
//     1 lifted, 2 reversed polarity), queued right after the acknowledgement;
//   - 1 (start) gives the PC a full repeat time-out before the message in flight goes again;
//   - 20 confirms the message in flight.
// Messages ("A" .. "F", and anything sent by hand) go out one at a time and are repeated after
// the repeat time-out until confirmed, at most maxRepeats times; a message that is never
// confirmed is given up and counted. 0xFC is sent once and not waited for: the PC stops the
// exchange and never confirms it.
//
// All calls must come from the scheduler's thread (or before the scheduler runs); the
// simulator must be stopped or destroyed there too.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include "KabScript.h"
#include "MessageSender.h"
#include "common/Scheduler.h"
#include "controller/ControllerCodes.h"
#include "controller/FrameReceiver.h"
#include "controller/SerialPort.h"

namespace miradel::kabsim {

struct KabSimOptions {
    int64_t ackDelayMs = 2;
    int64_t repeatTimeoutMs = 300;
    int maxRepeats = 10;
    int64_t pollMs = 1;               // how often the port is read
    std::size_t eventLimit = 100000;  // older events are dropped from Events()
};

// The state "E" reports.
enum class LineCondition : uint8_t { kHandsetDown = 0, kHandsetUp = 1, kReversed = 2 };

// What happened on one booth line.
struct LineRecord {
    LineCondition condition = LineCondition::kHandsetDown;
    std::vector<uint8_t> switchStates;  // command 3 states in arrival order
    std::vector<uint8_t> dialled;       // command 6 digits as sent (0 comes as 10)
    int whistles = 0;                   // command 7
    int stateQuestions = 0;             // command 4
};

struct KabCounters {
    int framesIn = 0;  // frames from the PC with a right checksum, confirmations included
    int badChecksums = 0;
    int rejectedRuns = 0;  // runs of bytes that formed no frame
    int confirmations = 0;
    int strayConfirmations = 0;  // confirmations with no message waiting for one
    int acksSent = 0;
    int messagesSent = 0;  // first sends
    int repeatsSent = 0;
    int messagesConfirmed = 0;
    int messagesGivenUp = 0;
    int lineErrors = 0;               // line error reports of the port
    std::array<int, 256> commands{};  // good frames from the PC by code
};

enum class KabEventKind {
    kFrameIn,     // a good frame from the PC
    kBadFrameIn,  // a frame from the PC with a wrong checksum
    kRejectedIn,  // bytes from the PC that formed no frame
    kAckOut,
    kMessageOut,  // first send or repeat (attempt > 1), maybe corrupted
    kGarbageOut,
    kGaveUp,     // a message was never confirmed
    kLineError,  // the port reported line errors (faults)
};

struct KabEvent {
    int64_t atMs = 0;
    KabEventKind kind = KabEventKind::kFrameIn;
    std::vector<uint8_t> bytes;  // the frame or the run of bytes
    int attempt = 0;             // kMessageOut: 1 first send, 2 first repeat ...; kGaveUp: sends
    bool corrupt = false;        // kMessageOut sent with a wrong checksum
    uint16_t faults = 0;         // kLineError
};

class KabSim {
  public:
    KabSim(SerialPort& port, Scheduler& scheduler, KabSimOptions options = {});
    ~KabSim();
    KabSim(const KabSim&) = delete;
    KabSim& operator=(const KabSim&) = delete;

    // Starts reading the port, which the caller has opened.
    void Start();
    // Stops reading and cancels the script.
    void Stop();

    enum class ScriptStart {
        kNow,
        kOnPcStart,  // when the PC's start frame (command 1) arrives
    };
    void RunScript(KabScript script, ScriptStart start = ScriptStart::kNow);
    bool ScriptDone() const { return scriptDone_; }
    // A script ran to its end and every message is confirmed or given up.
    bool Finished() const;
    // Called once, on the scheduler's thread, when Finished becomes true.
    void SetFinishedHandler(std::function<void()> handler) { onFinished_ = std::move(handler); }
    // Called for every event as it happens (for a verbose log).
    void SetEventListener(std::function<void(const KabEvent&)> listener) {
        onEvent_ = std::move(listener);
    }

    // The clients in the booths; a line outside 0..15 is ignored.
    void Lift(int line);
    void HangUp(int line);
    void Dial(int line, int digit);  // digit as sent: 1..9, 10 for 0
    void Answer(int line);           // "D": reversed polarity
    void Clear(int line);            // "D": normal polarity again
    void Inductor(int line);
    void SetCondition(int line, LineCondition condition);  // no message
    // Any message: code and arguments.
    void SendMessage(std::span<const uint8_t> data);

    void SetNoAck(bool on) { noAck_ = on; }
    void SetSilent(bool on);
    void CorruptNext(int count) { sender_.CorruptNext(count); }
    void SendGarbage(std::span<const uint8_t> bytes);
    void SetAckDelayMs(int64_t ms) { options_.ackDelayMs = ms > 0 ? ms : 0; }

    const LineRecord& Line(int line) const;
    const KabCounters& Counters() const { return counters_; }
    const std::deque<KabEvent>& Events() const { return events_; }
    std::vector<KabEvent> EventsOf(KabEventKind kind) const;

  private:
    struct Reply {
        int64_t dueMs;
        bool ack;
        std::vector<uint8_t> answer;  // a message to queue after the ack, may be empty
    };

    void Poll();
    void CheckLineErrors();
    void OnByte(uint8_t byte);
    void OnFrame(const Frame& frame);
    void HandleCommand(std::span<const uint8_t> data, Reply& reply);
    void SendReplies(int64_t nowMs);
    void QueueLineMessage(MessageCode code, int line, LineCondition condition);
    void ScheduleNextAction();
    void RunAction(const ScriptAction& action);
    void BeginScript();
    void CheckFinished();
    void Write(std::span<const uint8_t> bytes);
    void Record(KabEvent event);

    SerialPort& port_;
    Scheduler& scheduler_;
    KabSimOptions options_;
    MessageSender sender_;
    FrameReceiver receiver_;
    std::array<LineRecord, 16> lines_;
    KabCounters counters_;
    std::deque<KabEvent> events_;
    std::deque<Reply> replies_;
    bool noAck_ = false;
    bool silent_ = false;
    uint16_t lastFaults_ = 0;

    Scheduler::TaskId pollTask_ = 0;
    int64_t nextPollMs_ = 0;

    KabScript script_;
    bool scriptArmed_ = false;  // waits for the PC's start
    bool scriptRunning_ = false;
    bool scriptDone_ = false;
    int64_t scriptStartMs_ = 0;
    std::size_t nextAction_ = 0;
    Scheduler::TaskId scriptTask_ = 0;
    bool finishedReported_ = false;

    std::function<void()> onFinished_;
    std::function<void(const KabEvent&)> onEvent_;
};

}  // namespace miradel::kabsim
