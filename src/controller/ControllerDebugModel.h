#pragma once
// The controls of the controller debug window, without the widgets: what each button does.
// The window calls these on the GUI thread; everything that touches the engine or a booth is
// posted to the engine thread, so the window never waits for it.

#include <optional>
#include <string_view>

#include "common/Scheduler.h"
#include "controller/BoothEventSink.h"
#include "controller/ControllerExchange.h"
#include "controller/ExchangeDebugView.h"

namespace miradel {

enum class ImitatorButton {
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Digit0,
    HandsetUp,
    HandsetDown,
    Polarity,
    SecondTick
};

class ControllerDebugModel {
  public:
    ControllerDebugModel(Scheduler& engine, ControllerExchange& exchange, ExchangeDebugView& view,
                         BoothEventSink& booths);

    void StartStopView() { view_.ToggleView(); }
    void ClearView() { view_.ClearView(); }
    void ClearError();
    void Confirm();
    void SetBlockService(bool block) { view_.SetBlockService(block); }
    void CallBooths12();  // "Вызов на 1-2 кабину": inductor on the first two positions
    void ReleaseBooths12();  // "Снять вызов 1-2 кабины": handset down there

    // The imitator's "Тест на - " field; its text must be a panel index 0..15.
    void SetImitatorLine(std::string_view text) { imitatorText_ = text; }
    static std::optional<int> ParseLine(std::string_view text);
    // Sends the button's event to the chosen booth, only while the program is stopped or
    // autonomous; returns false when nothing was sent (normal running or a bad index).
    bool Imitate(ImitatorButton button);

    void Closed() { view_.WindowClosed(); }

  private:
    Scheduler& engine_;
    ControllerExchange& exchange_;
    ExchangeDebugView& view_;
    BoothEventSink& booths_;
    std::string imitatorText_ = "0";
};

}  // namespace miradel
