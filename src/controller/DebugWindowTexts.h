#pragma once
// The controller debug window's own words and the keys of its line imitator, so that the
// widgets only lay them out.

#include <array>
#include <string_view>

#include "controller/ControllerDebugModel.h"

namespace miradel {

inline constexpr std::string_view kDebugCaption = " Debug window";
inline constexpr std::string_view kDebugCountQueue = "Count Queu -";
inline constexpr std::string_view kDebugFlagSend = "Flag Send -";
inline constexpr std::string_view kDebugErrorCode = "Error Code = ";
inline constexpr std::string_view kDebugStartStopView = "Start\\Stop View";
inline constexpr std::string_view kDebugClearView = "Clear View";
inline constexpr std::string_view kDebugClearError = "Clear Error";
inline constexpr std::string_view kDebugConfirm = "Confirm";
inline constexpr std::string_view kDebugCallBooths12 = "Вызов на 1-2 кабину";
inline constexpr std::string_view kDebugReleaseBooths12 = "Снять вызов 1-2 кабины";
inline constexpr std::string_view kDebugBlockService = "Блокировка служебных сообщений";
inline constexpr std::string_view kImitatorGroup = "Имитатор телефонной линии";
inline constexpr std::string_view kImitatorBefore = "Тест на - ";
inline constexpr std::string_view kImitatorAfter = "линии в автономе";
inline constexpr std::string_view kImitatorInitialLine = "0";

struct ImitatorKey {
    std::string_view label;
    ImitatorButton button;
};

// In the order the keys stand in the imitator group.
inline constexpr std::array<ImitatorKey, 14> kImitatorKeys = {{
    {"1", ImitatorButton::Digit1},
    {"2", ImitatorButton::Digit2},
    {"3", ImitatorButton::Digit3},
    {"4", ImitatorButton::Digit4},
    {"5", ImitatorButton::Digit5},
    {"6", ImitatorButton::Digit6},
    {"7", ImitatorButton::Digit7},
    {"8", ImitatorButton::Digit8},
    {"9", ImitatorButton::Digit9},
    {"0", ImitatorButton::Digit0},
    {"U", ImitatorButton::HandsetUp},
    {"D", ImitatorButton::HandsetDown},
    {"P", ImitatorButton::Polarity},
    {"1c", ImitatorButton::SecondTick},
}};

}  // namespace miradel
