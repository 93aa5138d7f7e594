#include "BoothSimulatorModel.h"

#include <fmt/format.h>

#include "controller/ControllerCodes.h"

namespace miradel::kabsim {

namespace {

std::string_view HandsetText(LineCondition condition) {
    switch (condition) {
        case LineCondition::kHandsetDown:
            return "handset down";
        case LineCondition::kHandsetUp:
            return "handset lifted";
        case LineCondition::kReversed:
            return "answered";
    }
    return "handset down";
}

std::string SwitchText(const std::vector<uint8_t>& states) {
    if (states.empty()) {
        return "not switched yet";
    }
    switch (static_cast<LineState>(states.back())) {
        case LineState::kOff:
            return "off";
        case LineState::kConnected:
            return "connected (dial tone)";
        case LineState::kMicrophoneOn:
            return "microphone on (talk)";
        case LineState::kWhistle:
            return "whistle";
    }
    return fmt::format("state {}", int{states.back()});
}

std::string DigitsText(const std::vector<uint8_t>& digits) {
    std::string text;
    for (uint8_t d : digits) {
        if (d == 10) {
            text += '0';
        } else if (d >= 1 && d <= 9) {
            text += static_cast<char>('0' + d);
        } else {
            text += '?';  // the office sent no digit the controller knows
        }
    }
    return text.empty() ? "none" : text;
}

}  // namespace

void KabSimClients::Lift(int line) {
    scheduler_.Post([&sim = simulator_, line] { sim.Lift(line); });
}

void KabSimClients::HangUp(int line) {
    scheduler_.Post([&sim = simulator_, line] { sim.HangUp(line); });
}

void KabSimClients::Dial(int line, int digit) {
    scheduler_.Post([&sim = simulator_, line, digit] { sim.Dial(line, digit); });
}

void KabSimClients::Answer(int line) {
    scheduler_.Post([&sim = simulator_, line] { sim.Answer(line); });
}

void KabSimClients::Inductor(int line) {
    scheduler_.Post([&sim = simulator_, line] { sim.Inductor(line); });
}

std::string LineStatusText(const LineRecord& record) {
    return fmt::format("{}; line {}; office dialled: {}", HandsetText(record.condition),
                       SwitchText(record.switchStates), DigitsText(record.dialled));
}

bool BoothSimulatorModel::SelectBooth(int number) {
    if (number < 1 || number > kBooths) {
        return false;
    }
    if (number - 1 != line_) {
        line_ = number - 1;
        status_.clear();  // the old booth's status must not show under the new number
    }
    return true;
}

int BoothSimulatorModel::Dial() {
    int sent = 0;
    for (char c : dialText_) {
        if (c < '0' || c > '9') {
            continue;
        }
        if (static_cast<std::size_t>(sent) == kMaxDialDigits) {
            break;
        }
        clients_.Dial(line_, c == '0' ? 10 : c - '0');
        ++sent;
    }
    return sent;
}

void BoothSimulatorModel::ShowLine(const LineRecord& record) {
    status_ = fmt::format("Booth {}: {}", Booth(), LineStatusText(record));
}

}  // namespace miradel::kabsim
