#pragma once
// The exchange with the booth controller: the periodic tasks that move bytes in and out, the
// transmit and receive queues, one frame at a time with acknowledgement, repeats, keep-alive,
// the detection of a lost link, autonomous mode and the return from it.
//
// Threads: everything runs on the scheduler's thread (the engine thread) except QueueFrame,
// SetFiscalFailed and SetApplicationRunning, which any thread may call. The window thread
// posts the other operations (RestoreLink, Confirm ...) to the scheduler.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/BoothEventSink.h"
#include "controller/ExchangeDebugView.h"
#include "controller/FrameCodec.h"
#include "controller/FrameReceiver.h"
#include "controller/MessageDispatch.h"
#include "controller/PeriodicTask.h"
#include "controller/SerialPort.h"

namespace miradel {

// Link stop reasons and the words the debug window shows for them.
enum LinkStopReason : int {
    kLinkStopController = 0,  // message 0xFC, "Stop programm!"
    kLinkStopTimeOut = 1,     // message 0xFD, "TimeOut!!!"
    kLinkStopLongDelay = 2,   // no acknowledgement after 30 repeats, "LongDelay!!!"
    kLinkStopFiscal = 4,      // the fiscal register failed (autonomous mode only)
    kLinkStopComPort = 5,     // the port cannot be opened, "Alarm COM-port"
};

// The periodic tasks, in the order they are started.
enum ExchangeTask : int {
    kTaskTransmitter = 0,
    kTaskReceiver = 1,
    kTaskSender = 2,
    kTaskAround = 3
};

inline constexpr int kAckWaitLimit = 100;  // 5 ms steps before a repeat
inline constexpr int kRepeatLimit = 30;    // repeats before the link stop
inline constexpr int kSilenceLimit = 500;  // 5 ms steps of silence before a keep-alive
inline constexpr std::size_t kReceiveQueueLimit = 1024;
inline constexpr int kOperatorEventError = 3;
inline constexpr int kOperatorEventPortFault = 32;

class ControllerExchange final : private MessageTarget {
  public:
    struct Dependencies {
        Scheduler& scheduler;
        SerialPort& port;
        BoothEventSink& booths;
        ProgramStatusSink& status;
        OperatorLogSink& operatorLog;
        OperatorPrompt& prompt;
        ExchangeDebugView& debug;
        // The dial-around booth's panel (-1: none) and whether a run is on; may be empty.
        std::function<int()> aroundPanel;
        std::function<bool()> aroundRunning;
        // The LCD line's turn after each 32 ms sender run, while the LCD line is active.
        std::function<void()> lcdTurn;
    };

    explicit ControllerExchange(Dependencies deps);
    ~ControllerExchange() override;  // kills the tasks, empties the queues, closes the port

    // Opens the port, starts the four periodic tasks. On failure runs the link stop with
    // reason 5, tells the operator the port is missing and returns false.
    bool StartExchange();
    // The exchange may start (after the operator's login, and on restart).
    void RequestStart() { startRequested_ = true; }

    // Any thread. Dropped while the fiscal register is marked failed.
    void QueueFrame(std::span<const uint8_t> data);
    void QueueFrame(const Frame& frame);

    void RestoreLink();
    // Entered directly by the main window when the fiscal register fails (reason 4).
    void EnterAutonomous(int reason);
    void StopTimers() { timersEnabled_ = false; }
    void RestartTimers();
    void OweConfirmation() { ++owedConfirmations_; }
    // "Clear Error" also restarts the send-delay count.
    void ClearSendDelay() { sendDelay_ = 0; }

    void SetFiscalFailed(bool failed) { fiscalFailed_ = failed; }
    void SetApplicationRunning(bool running) { applicationRunning_ = running; }

    // Engine state, for the debug window and tests.
    bool Running() const { return running_; }
    bool Stopped() const { return stopped_; }
    bool LinkLost() const { return linkLost_; }
    bool WaitingForAck() const { return waitingAck_; }
    bool TimersEnabled() const { return timersEnabled_; }
    bool Abnormal() const { return abnormal_; }
    std::size_t QueueLength() const;
    int Repeats() const { return repeats_; }
    bool TaskActive(int index) const { return tasks_[index]->Active(); }

  private:
    // MessageTarget: what a processed controller message does.
    void Acknowledge() override { OnAcknowledge(); }
    void DeliverBoothEvent(int panel, int event, int argument) override;
    void NoteLinkCounters() override;
    void StopLink(int reason) override;

    void OnAcknowledge();
    void TransmitterRun();
    void ReceiverRun();
    void Step();
    void Counters();
    void FrameSender();
    void AroundTick();
    void HandleReceived(const ReceiveOutcome& outcome);
    void CheckLineErrors();
    void LinkStop(int reason);
    void AfterCancel();
    bool OpenPort();
    bool StartTasks();
    void ShowState(std::string_view text, bool abnormal);
    void EmptyQueues();
    void QueueInternal(const Frame& frame);
    void SendFrameNow(const Frame& frame);  // writes all bytes at once (the start frame)
    bool MayRearm() const { return applicationRunning_ && timersEnabled_; }

    Dependencies d_;

    mutable std::mutex queueMutex_;  // around append, take and empty of the transmit queue
    std::deque<Frame> transmitQueue_;
    std::deque<Frame> receiveQueue_;

    Frame current_;
    std::size_t remaining_ = 0;  // bytes of the current frame still to send
    std::size_t nextByte_ = 0;
    bool confirmationFlag_ = false;
    uint16_t owedConfirmations_ = 0;

    std::atomic<bool> startRequested_{false};
    bool running_ = false;
    bool waitingAck_ = false;
    bool repeatRequested_ = false;
    bool keepAliveQueued_ = false;
    bool linkLost_ = false;
    bool stopped_ = false;
    std::atomic<bool> abnormal_{false};
    std::string lastFaultWord_;
    int64_t lastFaultMs_ = 0;
    uint16_t ackWait_ = 0;
    uint16_t repeats_ = 0;
    uint16_t silence_ = 0;
    uint16_t sendDelay_ = 0;
    bool stepBusy_ = false;
    int receiverRuns_ = 0;
    std::atomic<bool> applicationRunning_{true};
    std::atomic<bool> timersEnabled_{false};
    std::atomic<bool> fiscalFailed_{false};

    FrameReceiver receiver_;
    FrameProcessor processor_;
    std::array<std::unique_ptr<PeriodicTask>, 4> tasks_;
};

}  // namespace miradel
