#pragma once
// What the controller debug window shows, kept by the exchange engine on the engine thread and
// read by the window on the GUI thread. One mutex guards it; the window polls Version() and
// copies a Snapshot when it changed, so the engine never waits for a repaint.

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

namespace miradel {

class ExchangeDebugView {
  public:
    static constexpr std::size_t kMaxViewLines = 2000;  // older lines fall off the bottom

    struct Snapshot {
        std::string countQueue;      // "Count Queu -" value
        std::string flagSend = "0";  // "FFF" while an acknowledgement is awaited
        bool lamp = false;           // toggles on every acknowledgement
        std::string timeText = "Time - ";
        std::string delayText = "Delay - ";
        std::string repeatText = "Repeat - ";
        std::string errorCode;
        std::string reason;         // link-stop word
        std::string inputError;     // receiver's word
        std::string hardwareError;  // port fault word
        int secondTick = 0;         // 16 and 0 alternately
        bool viewOn = false;
        bool blockService = false;  // "Блокировка служебных сообщений"
        std::deque<std::string> view;  // newest first
        uint64_t version = 0;
    };

    // Written by the engine.
    void SetQueueCount(std::size_t count);
    void SetFlagSend(bool awaiting);
    void ToggleLamp();
    void AppendLinkCounters(int ackWait, int sendDelay);  // "Time - N", "Delay - N"
    void SetRepeat(int repeat);
    void SetReason(std::string_view word);
    void SetInputError(std::string_view word);
    void SetHardwareError(std::string_view word);
    void ToggleSecondTick();
    // Lists a line while the view is on; service lines are dropped while they are blocked.
    void AddLine(std::string line, bool serviceLine);

    // Operated from the window.
    void SetViewOn(bool on);  // the label shows "START VIEW" while on, "STOP VIEW" while off
    void ToggleView() { SetViewOn(!Read().viewOn); }
    void SetBlockService(bool block);
    void ClearView();
    // "Clear Error": the error, reason and port fields emptied, the counters' captions bare.
    void ClearErrors();
    // Closing the window turns the view off and empties the list.
    void WindowClosed();

    bool ViewOn() const;
    bool ServiceBlocked() const;
    Snapshot Read() const;
    uint64_t Version() const;

    static std::string_view ViewLabel(bool viewOn) { return viewOn ? "START VIEW" : "STOP VIEW"; }

  private:
    void Changed() { ++data_.version; }

    mutable std::mutex mutex_;
    Snapshot data_;
};

}  // namespace miradel
