#include "KabSim.h"

#include <algorithm>
#include <utility>

#include "controller/ControllerFrames.h"

namespace miradel::kabsim {

namespace {

constexpr std::size_t kReadChunk = 64;
// Bounds one poll's reading, so that a flooding line cannot hold the scheduler.
constexpr int kMaxReadsPerPoll = 64;

uint8_t Code(CommandCode code) {
    return static_cast<uint8_t>(code);
}
uint8_t Code(MessageCode code) {
    return static_cast<uint8_t>(code);
}

bool ValidLine(int line) {
    return line >= 0 && line < kControllerLines;
}

std::vector<uint8_t> BytesOf(const Frame& frame) {
    return {frame.Bytes().begin(), frame.Bytes().end()};
}

}  // namespace

KabSim::KabSim(SerialPort& port, Scheduler& scheduler, KabSimOptions options)
    : port_(port),
      scheduler_(scheduler),
      options_(options),
      sender_(
          SenderOptions{options.repeatTimeoutMs, options.maxRepeats},
          [this](const Frame& frame, int attempt, bool corrupt) {
              if (attempt == 1) {
                  ++counters_.messagesSent;
              } else {
                  ++counters_.repeatsSent;
              }
              Write(frame.Bytes());
              Record({scheduler_.NowMs(), KabEventKind::kMessageOut, BytesOf(frame), attempt,
                      corrupt, 0});
              if (frame.At(2) == Code(MessageCode::kStopExchange)) {
                  CheckFinished();
              }
          },
          [this](const Frame& frame, int attempts) {
              ++counters_.messagesGivenUp;
              Record(
                  {scheduler_.NowMs(), KabEventKind::kGaveUp, BytesOf(frame), attempts, false, 0});
              CheckFinished();
          }) {
    options_.pollMs = std::max<int64_t>(options_.pollMs, 1);
    options_.ackDelayMs = std::max<int64_t>(options_.ackDelayMs, 0);
}

KabSim::~KabSim() {
    Stop();
}

void KabSim::Start() {
    if (pollTask_ != 0) {
        return;
    }
    nextPollMs_ = scheduler_.NowMs();
    pollTask_ = scheduler_.ScheduleAt(nextPollMs_, [this] { Poll(); });
}

void KabSim::Stop() {
    if (pollTask_ != 0) {
        scheduler_.Cancel(pollTask_);
        pollTask_ = 0;
    }
    if (scriptTask_ != 0) {
        scheduler_.Cancel(scriptTask_);
        scriptTask_ = 0;
    }
    scriptRunning_ = false;
    scriptArmed_ = false;
}

void KabSim::Poll() {
    const int64_t now = scheduler_.NowMs();
    CheckLineErrors();
    std::array<uint8_t, kReadChunk> buffer;
    for (int reads = 0; reads < kMaxReadsPerPoll; ++reads) {
        const std::size_t count = port_.Read(buffer);
        for (std::size_t i = 0; i < count; ++i) {
            OnByte(buffer[i]);
        }
        if (count < buffer.size()) {
            break;
        }
    }
    SendReplies(now);
    sender_.Tick(now);

    // Re-armed on the period grid; a late run does not bunch up the next ones.
    nextPollMs_ = std::max(nextPollMs_ + options_.pollMs, now);
    pollTask_ = scheduler_.ScheduleAt(nextPollMs_, [this] { Poll(); });
}

void KabSim::CheckLineErrors() {
    const uint16_t faults = port_.TakeLineErrors();
    if (faults != 0) {
        ++counters_.lineErrors;
        // A lasting fault (a vanished device) is logged when it starts, not on every poll.
        if (faults != lastFaults_) {
            Record({scheduler_.NowMs(), KabEventKind::kLineError, {}, 0, false, faults});
        }
    }
    lastFaults_ = faults;
}

void KabSim::OnByte(uint8_t byte) {
    const ReceiveOutcome outcome = receiver_.FeedByte(byte);
    switch (outcome.kind) {
        case ReceiveKind::kNothing:
            break;
        case ReceiveKind::kRejected:
            ++counters_.rejectedRuns;
            Record({scheduler_.NowMs(), KabEventKind::kRejectedIn, BytesOf(outcome.bytes), 0, false,
                    0});
            break;
        case ReceiveKind::kAcknowledgement:  // the PC never sends "@"; a frame like any other
        case ReceiveKind::kFrame:
            OnFrame(outcome.bytes);
            break;
    }
}

void KabSim::OnFrame(const Frame& frame) {
    const int64_t now = scheduler_.NowMs();
    if (!CheckFrame(frame)) {
        ++counters_.badChecksums;
        Record({now, KabEventKind::kBadFrameIn, BytesOf(frame), 0, false, 0});
        return;
    }
    ++counters_.framesIn;
    Record({now, KabEventKind::kFrameIn, BytesOf(frame), 0, false, 0});
    const std::span<const uint8_t> data = FrameData(frame);
    ++counters_.commands[data[0]];

    if (data[0] == Code(CommandCode::kConfirmation)) {
        ++counters_.confirmations;
        if (sender_.Confirm(now)) {
            ++counters_.messagesConfirmed;
            CheckFinished();
        } else {
            ++counters_.strayConfirmations;
        }
        return;
    }
    Reply reply{now + options_.ackDelayMs, !noAck_ && !silent_, {}};
    HandleCommand(data, reply);
    if (reply.ack || !reply.answer.empty()) {
        replies_.push_back(std::move(reply));
        SendReplies(now);
    }
}

void KabSim::HandleCommand(std::span<const uint8_t> data, Reply& reply) {
    const uint8_t code = data[0];
    const int line = data.size() > 1 ? data[1] : -1;
    if (code == Code(CommandCode::kStart)) {
        sender_.RestartTimeout(scheduler_.NowMs());
        if (scriptArmed_) {
            BeginScript();
        }
        return;
    }
    if (!ValidLine(line)) {
        return;  // no line, or a line the controller does not have: acknowledged, no more
    }
    LineRecord& record = lines_[line];
    if (code == Code(CommandCode::kSetLineState) && data.size() > 2) {
        record.switchStates.push_back(data[2]);
    } else if (code == Code(CommandCode::kDialDigit) && data.size() > 2) {
        record.dialled.push_back(data[2]);
    } else if (code == Code(CommandCode::kShortWhistle)) {
        ++record.whistles;
    } else if (code == Code(CommandCode::kAskLineState)) {
        ++record.stateQuestions;
        reply.answer = {Code(MessageCode::kLineState), static_cast<uint8_t>(line),
                        static_cast<uint8_t>(record.condition)};
    }
}

void KabSim::SendReplies(int64_t nowMs) {
    while (!replies_.empty() && replies_.front().dueMs <= nowMs) {
        Reply reply = std::move(replies_.front());
        replies_.pop_front();
        if (reply.ack) {
            ++counters_.acksSent;
            const Frame ack = AcknowledgementFrame();
            Write(ack.Bytes());
            Record({nowMs, KabEventKind::kAckOut, BytesOf(ack), 0, false, 0});
        }
        if (!reply.answer.empty()) {
            sender_.Queue(reply.answer);
            sender_.Tick(nowMs);
        }
    }
}

void KabSim::Write(std::span<const uint8_t> bytes) {
    // A failing port shows up as a line error on the next poll.
    port_.Write(bytes);
}

void KabSim::Record(KabEvent event) {
    if (onEvent_) {
        onEvent_(event);
    }
    if (options_.eventLimit == 0) {
        return;
    }
    if (events_.size() >= options_.eventLimit) {
        events_.pop_front();
    }
    events_.push_back(std::move(event));
}

std::vector<KabEvent> KabSim::EventsOf(KabEventKind kind) const {
    std::vector<KabEvent> selected;
    for (const KabEvent& event : events_) {
        if (event.kind == kind) {
            selected.push_back(event);
        }
    }
    return selected;
}

const LineRecord& KabSim::Line(int line) const {
    static const LineRecord kNoLine;
    return ValidLine(line) ? lines_[line] : kNoLine;
}

void KabSim::QueueLineMessage(MessageCode code, int line, LineCondition condition) {
    if (!ValidLine(line)) {
        return;
    }
    lines_[line].condition = condition;
    const uint8_t data[] = {Code(code), static_cast<uint8_t>(line)};
    SendMessage(data);
}

void KabSim::Lift(int line) {
    QueueLineMessage(MessageCode::kHandsetUp, line, LineCondition::kHandsetUp);
}

void KabSim::HangUp(int line) {
    QueueLineMessage(MessageCode::kHandsetDown, line, LineCondition::kHandsetDown);
}

void KabSim::Answer(int line) {
    QueueLineMessage(MessageCode::kPolarityReversal, line, LineCondition::kReversed);
}

void KabSim::Clear(int line) {
    // The line keeps its handset state; only the polarity goes back.
    const LineCondition after = Line(line).condition == LineCondition::kReversed
                                    ? LineCondition::kHandsetUp
                                    : Line(line).condition;
    QueueLineMessage(MessageCode::kPolarityReversal, line, after);
}

void KabSim::Inductor(int line) {
    if (ValidLine(line)) {
        QueueLineMessage(MessageCode::kInductor, line, lines_[line].condition);
    }
}

void KabSim::Dial(int line, int digit) {
    if (!ValidLine(line)) {
        return;
    }
    const uint8_t data[] = {Code(MessageCode::kDigit), static_cast<uint8_t>(line),
                            static_cast<uint8_t>(digit)};
    SendMessage(data);
}

void KabSim::SetCondition(int line, LineCondition condition) {
    if (ValidLine(line)) {
        lines_[line].condition = condition;
    }
}

void KabSim::SendMessage(std::span<const uint8_t> data) {
    sender_.Queue(data);
    sender_.Tick(scheduler_.NowMs());
}

void KabSim::SetSilent(bool on) {
    silent_ = on;
    sender_.SetSilent(on);
    sender_.Tick(scheduler_.NowMs());
}

void KabSim::SendGarbage(std::span<const uint8_t> bytes) {
    Write(bytes);
    Record(
        {scheduler_.NowMs(), KabEventKind::kGarbageOut, {bytes.begin(), bytes.end()}, 0, false, 0});
}

void KabSim::RunScript(KabScript script, ScriptStart start) {
    if (scriptTask_ != 0) {
        scheduler_.Cancel(scriptTask_);
        scriptTask_ = 0;
    }
    script_ = std::move(script);
    scriptDone_ = false;
    scriptRunning_ = false;
    finishedReported_ = false;
    scriptArmed_ = start == ScriptStart::kOnPcStart;
    if (!scriptArmed_) {
        BeginScript();
    }
}

void KabSim::BeginScript() {
    scriptArmed_ = false;
    scriptRunning_ = true;
    scriptStartMs_ = scheduler_.NowMs();
    nextAction_ = 0;
    ScheduleNextAction();
}

void KabSim::ScheduleNextAction() {
    const int64_t dueMs = nextAction_ < script_.actions.size() ? script_.actions[nextAction_].atMs
                                                               : script_.durationMs;
    scriptTask_ = scheduler_.ScheduleAt(scriptStartMs_ + dueMs, [this] {
        scriptTask_ = 0;
        if (nextAction_ >= script_.actions.size()) {
            scriptRunning_ = false;
            scriptDone_ = true;
            CheckFinished();
            return;
        }
        // Actions due at the same moment run together, in script order.
        const int64_t at = script_.actions[nextAction_].atMs;
        while (nextAction_ < script_.actions.size() && script_.actions[nextAction_].atMs == at) {
            RunAction(script_.actions[nextAction_++]);
        }
        ScheduleNextAction();
    });
}

void KabSim::RunAction(const ScriptAction& action) {
    switch (action.kind) {
        case ActionKind::kLift:
            Lift(action.line);
            break;
        case ActionKind::kHangUp:
            HangUp(action.line);
            break;
        case ActionKind::kDigit:
            Dial(action.line, action.value);
            break;
        case ActionKind::kAnswer:
            Answer(action.line);
            break;
        case ActionKind::kClear:
            Clear(action.line);
            break;
        case ActionKind::kInductor:
            Inductor(action.line);
            break;
        case ActionKind::kSetState:
            SetCondition(action.line, static_cast<LineCondition>(action.value));
            break;
        case ActionKind::kSend:
            SendMessage(action.bytes);
            break;
        case ActionKind::kNoAck:
            SetNoAck(action.value != 0);
            break;
        case ActionKind::kSilent:
            SetSilent(action.value != 0);
            break;
        case ActionKind::kCorrupt:
            CorruptNext(action.value);
            break;
        case ActionKind::kGarbage:
            SendGarbage(action.bytes);
            break;
    }
}

bool KabSim::Finished() const {
    const bool answerWaiting = std::any_of(
        replies_.begin(), replies_.end(), [](const Reply& reply) { return !reply.answer.empty(); });
    return scriptDone_ && sender_.Idle() && !answerWaiting;
}

void KabSim::CheckFinished() {
    if (Finished() && !finishedReported_) {
        finishedReported_ = true;
        if (onFinished_) {
            onFinished_();
        }
    }
}

}  // namespace miradel::kabsim
