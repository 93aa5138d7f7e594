#include "controller/ControllerDebugModel.h"

#include <charconv>

namespace miradel {

namespace {

constexpr uint32_t kEventHandsetUp = 2;
constexpr uint32_t kEventDigit = 3;
constexpr uint32_t kEventPolarity = 4;
constexpr uint32_t kEventHandsetDown = 5;
constexpr uint32_t kEventInductor = 6;
constexpr uint32_t kEventSecondTick = 7;

std::pair<uint32_t, int32_t> EventOf(ImitatorButton button) {
    switch (button) {
        case ImitatorButton::Digit0:
            return {kEventDigit, 10};
        case ImitatorButton::HandsetUp:
            return {kEventHandsetUp, 0};
        case ImitatorButton::HandsetDown:
            return {kEventHandsetDown, 0};
        case ImitatorButton::Polarity:
            return {kEventPolarity, 0};
        case ImitatorButton::SecondTick:
            return {kEventSecondTick, 0};
        default:
            return {kEventDigit, static_cast<int32_t>(button) + 1};
    }
}

}  // namespace

ControllerDebugModel::ControllerDebugModel(Scheduler& engine, ControllerExchange& exchange,
                                           ExchangeDebugView& view, BoothEventSink& booths)
    : engine_(engine), exchange_(exchange), view_(view), booths_(booths) {}

void ControllerDebugModel::ClearError() {
    view_.ClearErrors();
    engine_.Post([this] { exchange_.ClearSendDelay(); });
}

void ControllerDebugModel::Confirm() {
    engine_.Post([this] { exchange_.OweConfirmation(); });
}

void ControllerDebugModel::CallBooths12() {
    engine_.Post([this] {
        booths_.RaiseBoothEvent(0, kEventInductor, 0);
        booths_.RaiseBoothEvent(1, kEventInductor, 0);
    });
}

void ControllerDebugModel::ReleaseBooths12() {
    engine_.Post([this] {
        booths_.RaiseBoothEvent(0, kEventHandsetDown, 0);
        booths_.RaiseBoothEvent(1, kEventHandsetDown, 0);
    });
}

std::optional<int> ControllerDebugModel::ParseLine(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 15) {
        return std::nullopt;
    }
    return value;
}

bool ControllerDebugModel::Imitate(ImitatorButton button) {
    const std::optional<int> line = ParseLine(imitatorText_);
    if (!line || !exchange_.Abnormal()) {
        return false;
    }
    const auto [event, argument] = EventOf(button);
    const int panel = *line;
    engine_.Post([this, panel, event, argument] {
        // Checked again on the engine thread: the link may have come back meanwhile.
        if (exchange_.Abnormal()) {
            booths_.RaiseBoothEvent(panel, event, argument);
        }
    });
    return true;
}

}  // namespace miradel
