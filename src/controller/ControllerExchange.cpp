#include "controller/ControllerExchange.h"

#include "controller/ControllerCodes.h"
#include "controller/ControllerFrames.h"
#include "controller/FrameDescription.h"
#include "controller/PortFault.h"

namespace miradel {

namespace {

constexpr const char* kStateNormal = "Состояние программы - Норма";
constexpr const char* kStateStop = "Состояние программы - СТОП!!!";
constexpr const char* kStateAutonomous = "Состояние программы - Автоном !!!";
constexpr const char* kStateFiscalAlarm = "Состояние программы - Авария ККМ!";
constexpr const char* kNoComPort = "COM-порта для блока АПП с таким номером НЕТ!";
constexpr const char* kErrorSetTimer = "Error Set Timer!";
constexpr uint8_t kConfirmationBytes[4] = {0x7E, 0x02, 0x14, 0x16};
constexpr int kEventHandsetDown = 5;
constexpr int kEventError = 9;
constexpr int kEventTenthTick = 10;
constexpr int kBooths = 16;

const char* ReasonWord(int reason) {
    switch (reason) {
        case kLinkStopController:
            return "Stop programm!";
        case kLinkStopTimeOut:
            return "TimeOut!!!";
        case kLinkStopLongDelay:
            return "LongDelay!!!";
        case kLinkStopComPort:
            return "Alarm COM-port";
        default:
            return "";
    }
}

uint8_t CodeOf(const Frame& frame) {
    return frame.At(2);
}

bool IsServiceFrame(const Frame& frame) {
    return CodeOf(frame) == static_cast<uint8_t>(CommandCode::kKeepAlive);
}

}  // namespace

ControllerExchange::ControllerExchange(Dependencies deps) : d_(std::move(deps)) {
    auto rearm = [this] { return MayRearm(); };
    tasks_[kTaskTransmitter] = std::make_unique<PeriodicTask>(
        d_.scheduler, 1, "Ошибка 1 миллисек. таймера передатчика", [this] { TransmitterRun(); },
        rearm, d_.status);
    tasks_[kTaskReceiver] = std::make_unique<PeriodicTask>(
        d_.scheduler, 1, "Ошибка 1 миллисек. таймера приемника", [this] { ReceiverRun(); }, rearm,
        d_.status);
    tasks_[kTaskSender] = std::make_unique<PeriodicTask>(
        d_.scheduler, 32, "Ошибка 32 миллисек. таймера ЖКИ",
        [this] {
            FrameSender();
            if (d_.lcdTurn) {
                d_.lcdTurn();
            }
        },
        rearm, d_.status);
    tasks_[kTaskAround] = std::make_unique<PeriodicTask>(
        d_.scheduler, 100, "Ошибка 100 миллисек. таймера обзвона", [this] { AroundTick(); }, rearm,
        d_.status);
}

ControllerExchange::~ControllerExchange() {
    for (auto& task : tasks_) {
        task->Kill();
    }
    EmptyQueues();
    d_.port.Close();
}

bool ControllerExchange::OpenPort() {
    if (!d_.port.Open(kControllerLineSettings)) {
        return false;
    }
    d_.port.SetRts(false);
    d_.port.SetDtr(true);
    return true;
}

bool ControllerExchange::StartTasks() {
    for (auto& task : tasks_) {
        if (!task->Start()) {
            d_.status.RaiseError(kErrorSetTimer);
            return false;
        }
    }
    return true;
}

bool ControllerExchange::StartExchange() {
    bool ok = OpenPort();
    if (ok) {
        timersEnabled_ = true;
        ok = StartTasks();
    }
    if (ok) {
        return true;
    }
    LinkStop(kLinkStopComPort);
    d_.prompt.Ask({kNoComPort, "Miradel", PromptButtons::Ok, PromptIcon::Error});
    return false;
}

void ControllerExchange::QueueFrame(std::span<const uint8_t> data) {
    if (fiscalFailed_) {
        return;
    }
    QueueInternal(EncodeFrame(data));
}

void ControllerExchange::QueueFrame(const Frame& frame) {
    if (fiscalFailed_ || frame.Empty()) {
        return;
    }
    QueueInternal(frame);
}

void ControllerExchange::QueueInternal(const Frame& frame) {
    std::size_t length;
    {
        std::lock_guard lock(queueMutex_);
        transmitQueue_.push_back(frame);
        length = transmitQueue_.size();
    }
    d_.debug.SetQueueCount(length);
}

std::size_t ControllerExchange::QueueLength() const {
    std::lock_guard lock(queueMutex_);
    return transmitQueue_.size();
}

void ControllerExchange::EmptyQueues() {
    {
        std::lock_guard lock(queueMutex_);
        transmitQueue_.clear();
    }
    receiveQueue_.clear();
    d_.debug.SetQueueCount(0);
}

void ControllerExchange::OnAcknowledge() {
    waitingAck_ = false;
    d_.debug.SetFlagSend(false);
    d_.debug.ToggleLamp();
    ackWait_ = 0;
    repeats_ = 0;
    running_ = true;
}

void ControllerExchange::TransmitterRun() {
    if (!running_ || remaining_ == 0 || !d_.port.OutputEmpty()) {
        return;
    }
    sendDelay_ = 0;
    const uint8_t byte =
        confirmationFlag_ ? kConfirmationBytes[nextByte_ % 4] : current_.At(nextByte_);
    if (!d_.port.Write({&byte, 1})) {
        CheckLineErrors();
    }
    ++nextByte_;
    --remaining_;
    if (remaining_ == 0) {
        nextByte_ = 0;
        confirmationFlag_ = false;
    }
}

void ControllerExchange::ReceiverRun() {
    if (running_ && d_.port.IsOpen()) {
        uint8_t buffer[64];
        std::size_t n;
        while ((n = d_.port.Read(buffer)) > 0) {
            for (std::size_t i = 0; i < n; ++i) {
                silence_ = 0;
                HandleReceived(receiver_.FeedByte(buffer[i]));
            }
            if (n < sizeof buffer) {
                break;
            }
        }
    }
    if (d_.port.IsOpen()) {
        CheckLineErrors();
    }
    if (++receiverRuns_ % 5 == 0 && !stepBusy_) {
        Step();
        Counters();
    }
}

void ControllerExchange::HandleReceived(const ReceiveOutcome& outcome) {
    if (!outcome.inputError.empty()) {
        d_.debug.SetInputError(outcome.inputError);
    }
    switch (outcome.kind) {
        case ReceiveKind::kNothing:
            break;
        case ReceiveKind::kAcknowledgement:
            OnAcknowledge();
            d_.debug.AddLine(DescribeFrame(outcome.bytes, FrameDirection::kReceived), true);
            break;
        case ReceiveKind::kFrame:
            if (receiveQueue_.size() < kReceiveQueueLimit) {
                receiveQueue_.push_back(outcome.bytes);
            }
            d_.debug.AddLine(DescribeFrame(outcome.bytes, FrameDirection::kReceived), false);
            break;
        case ReceiveKind::kRejected:
            if (!outcome.bytes.Empty()) {
                d_.debug.AddLine(DescribeRejected(outcome.bytes.Bytes()), false);
            }
            break;
    }
}

void ControllerExchange::CheckLineErrors() {
    const uint16_t faults = d_.port.TakeLineErrors();
    if (faults == 0) {
        return;
    }
    d_.port.Purge();
    const std::string_view word = PortFaultWord(faults);
    d_.debug.SetHardwareError(word);
    // A vanished device fails every read: log the fault once a second, not once a millisecond.
    const int64_t now = d_.scheduler.NowMs();
    if (word != lastFaultWord_ || now - lastFaultMs_ >= 1000) {
        d_.operatorLog.LogEvent(kOperatorEventPortFault);
        lastFaultWord_ = word;
        lastFaultMs_ = now;
    }
}

void ControllerExchange::Step() {
    if (linkLost_) {
        return;
    }
    stepBusy_ = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{stepBusy_};

    if (stopped_) {
        return;
    }
    if (startRequested_ && !running_ && !waitingAck_ && d_.port.OutputEmpty()) {
        SendFrameNow(StartFrame());
        running_ = true;
        waitingAck_ = true;
        d_.debug.SetFlagSend(true);
    }
    if (!running_) {
        return;
    }
    if (!receiveQueue_.empty()) {
        const Frame frame = receiveQueue_.front();
        receiveQueue_.pop_front();
        if (processor_.Process(frame, *this)) {
            QueueFrame(ConfirmationFrame());
        }
        if (linkLost_ || stopped_ || !running_) {
            return;  // the message stopped the link
        }
    }
    if (ackWait_ > kAckWaitLimit) {
        if (repeats_ >= kRepeatLimit) {
            LinkStop(kLinkStopLongDelay);
            return;
        }
        ++repeats_;
        waitingAck_ = false;
        ackWait_ = 0;
        repeatRequested_ = true;
        d_.debug.SetFlagSend(false);
        d_.debug.SetRepeat(repeats_);
        FrameSender();
    }
    if (silence_ > kSilenceLimit) {
        silence_ = 0;
        if (!keepAliveQueued_ && !fiscalFailed_) {
            QueueFrame(KeepAliveFrame());
            keepAliveQueued_ = true;
        }
    }
}

void ControllerExchange::Counters() {
    if (linkLost_ || stopped_) {
        return;
    }
    if (startRequested_ || running_) {
        ++silence_;
        ++sendDelay_;
    }
    if (startRequested_ && waitingAck_) {
        ++ackWait_;
    }
}

void ControllerExchange::SendFrameNow(const Frame& frame) {
    current_ = frame;
    remaining_ = 0;
    nextByte_ = 0;
    confirmationFlag_ = false;
    if (!d_.port.Write(frame.Bytes())) {
        CheckLineErrors();
    }
    d_.debug.AddLine(DescribeFrame(frame, FrameDirection::kSent), false);
}

void ControllerExchange::FrameSender() {
    if (!running_) {
        return;
    }
    if (remaining_ == 0) {
        bool send = false;
        if (repeatRequested_) {
            repeatRequested_ = false;
            ackWait_ = 0;
            send = true;
        } else if (!waitingAck_) {
            std::size_t length = 0;
            {
                std::lock_guard lock(queueMutex_);
                if (!transmitQueue_.empty()) {
                    current_ = transmitQueue_.front();
                    transmitQueue_.pop_front();
                    length = transmitQueue_.size();
                    send = true;
                }
            }
            if (send) {
                d_.debug.SetQueueCount(length);
            }
        }
        if (send) {
            nextByte_ = 0;
            remaining_ = current_.Size();
            confirmationFlag_ = false;
            d_.debug.AddLine(DescribeFrame(current_, FrameDirection::kSent),
                             IsServiceFrame(current_));
            const uint8_t code = CodeOf(current_);
            if (code == static_cast<uint8_t>(CommandCode::kKeepAlive)) {
                keepAliveQueued_ = false;
            }
            if (code != static_cast<uint8_t>(CommandCode::kConfirmation)) {
                waitingAck_ = true;
                d_.debug.SetFlagSend(true);
            }
        }
    }
    if (owedConfirmations_ > 0 && remaining_ == 0) {
        --owedConfirmations_;
        confirmationFlag_ = true;
        nextByte_ = 0;
        remaining_ = sizeof kConfirmationBytes;
        d_.debug.AddLine("<- подтверждение", true);
    }
}

void ControllerExchange::AroundTick() {
    if (stepBusy_ || !d_.aroundPanel || !d_.aroundRunning || !d_.aroundRunning()) {
        return;
    }
    const int panel = d_.aroundPanel();
    if (panel >= 0 && panel < kBooths) {
        d_.booths.RaiseBoothEvent(panel, kEventTenthTick, 0);
    }
}

void ControllerExchange::DeliverBoothEvent(int panel, int event, int argument) {
    d_.booths.RaiseBoothEvent(panel, static_cast<uint32_t>(event), argument);
}

void ControllerExchange::NoteLinkCounters() {
    d_.debug.AppendLinkCounters(ackWait_, sendDelay_);
}

void ControllerExchange::StopLink(int reason) {
    if (reason == kLinkStopController) {
        d_.debug.SetReason("Stop from controller!");
    }
    LinkStop(reason);
}

void ControllerExchange::ShowState(std::string_view text, bool abnormal) {
    abnormal_ = abnormal;
    d_.status.ShowProgramState(text, abnormal ? StateColour::Red : StateColour::Black, abnormal);
    if (abnormal) {
        d_.operatorLog.LogEvent(kOperatorEventError, {std::string(text)});
    }
}

void ControllerExchange::LinkStop(int reason) {
    ackWait_ = 0;
    silence_ = 0;
    keepAliveQueued_ = false;
    repeats_ = 0;
    repeatRequested_ = false;
    linkLost_ = true;

    ShowState(kStateStop, true);

    timersEnabled_ = false;
    d_.port.Close();

    d_.debug.SetReason(ReasonWord(reason));

    for (int panel = 0; panel < kBooths; ++panel) {
        d_.booths.RaiseBoothEvent(panel, kEventHandsetDown, 0);
    }
    for (int panel = 0; panel < kBooths; ++panel) {
        d_.booths.RaiseBoothEvent(panel, kEventError, 0);
    }

    if (reason == kLinkStopComPort) {
        EnterAutonomous(reason);
        return;
    }
    const PromptAnswer answer = d_.prompt.Ask({"Автономный режим?", "Потеря связи с контроллером",
                                               PromptButtons::OkCancel, PromptIcon::Error});
    if (answer == PromptAnswer::Ok) {
        EnterAutonomous(reason);
    } else {
        AfterCancel();
    }
}

void ControllerExchange::AfterCancel() {
    EmptyQueues();
    silence_ = 0;
    running_ = false;
    waitingAck_ = false;
    d_.debug.SetFlagSend(false);
    linkLost_ = false;
    keepAliveQueued_ = false;
    repeatRequested_ = false;
    remaining_ = 0;
    receiver_.Reset();
    startRequested_ = true;
    ShowState(kStateNormal, false);
    timersEnabled_ = true;
    if (!OpenPort()) {
        // The device has gone for good: nothing to talk to, work on without it.
        LinkStop(kLinkStopComPort);
    }
}

void ControllerExchange::EnterAutonomous(int reason) {
    ShowState(reason == kLinkStopFiscal ? kStateFiscalAlarm : kStateAutonomous, true);
    stopped_ = true;
    running_ = false;
    linkLost_ = false;
    waitingAck_ = false;
    d_.debug.SetFlagSend(false);
    silence_ = 0;
    ackWait_ = 0;
    keepAliveQueued_ = false;
    remaining_ = 0;
    receiver_.Reset();
    EmptyQueues();
    d_.status.DisableWindowTimer();
}

void ControllerExchange::RestoreLink() {
    running_ = false;
    waitingAck_ = false;
    d_.debug.SetFlagSend(false);
    linkLost_ = false;
    stopped_ = false;
    keepAliveQueued_ = false;
    repeats_ = 0;
    ackWait_ = 0;
    receiver_.Reset();
    startRequested_ = true;
    if (!d_.port.IsOpen() && !OpenPort()) {
        LinkStop(kLinkStopComPort);
        d_.prompt.Ask({kNoComPort, "Miradel", PromptButtons::Ok, PromptIcon::Error});
        return;
    }
    StartTasks();
    timersEnabled_ = true;
    ShowState(kStateNormal, false);
}

void ControllerExchange::RestartTimers() {
    StartTasks();
    timersEnabled_ = true;
}

}  // namespace miradel
