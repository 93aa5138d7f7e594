#include "controller/FrameDescription.h"

#include <string_view>
#include <utility>

#include "controller/ControllerCodes.h"

namespace miradel {

namespace {

constexpr std::string_view kUnknown = "неопознанна";

// Builds one description from the frame's data bytes; numbers that are missing from a short
// frame end the text where they would stand.
class Description {
  public:
    explicit Description(std::span<const uint8_t> data) : data_(data) {}

    Description& Text(std::string_view text) {
        if (!cut_) {
            text_ += text;
        }
        return *this;
    }
    // The data byte at index in decimal.
    Description& Number(std::size_t index) {
        if (index >= data_.size()) {
            cut_ = true;
        }
        if (!cut_) {
            text_ += std::to_string(data_[index]);
        }
        return *this;
    }
    // One of the listed words for the data byte at index, or otherText and the number.
    Description& Choice(std::size_t index, std::span<const std::string_view> words,
                        std::string_view otherText) {
        if (index >= data_.size()) {
            cut_ = true;
        }
        if (cut_) {
            return *this;
        }
        if (data_[index] < words.size()) {
            return Text(words[data_[index]]);
        }
        return Text(otherText).Number(index);
    }

    std::string Take() { return std::move(text_); }

  private:
    std::span<const uint8_t> data_;
    std::string text_;
    bool cut_ = false;
};

void DescribeCommand(std::span<const uint8_t> data, Description& text) {
    static constexpr std::string_view kLineStates[] = {" выключить", " проключить",
                                                       " вкл. микрофон", " дать свисток"};
    switch (static_cast<CommandCode>(data[0])) {
        case CommandCode::kKeepAlive:
            text.Text(" пусто");
            break;
        case CommandCode::kStart:
            text.Text("старт");
            break;
        case CommandCode::kCheckState:
            text.Text("проверить состояние");
            break;
        case CommandCode::kSetLineState:
            text.Text(" линия - ").Number(1).Choice(2, kLineStates, " сост. - ");
            break;
        case CommandCode::kAskLineState:
            text.Text("какое сост. на линии - ").Number(1).Text(" ?");
            break;
        case CommandCode::kStopReset:
            text.Text("стоп-сброс");
            break;
        case CommandCode::kDialDigit:
            text.Text("выдать на лин. - ").Number(1).Text(" цифру - ").Number(2);
            break;
        case CommandCode::kShortWhistle:
            text.Text("свисток на лин. - ").Number(1);
            break;
        case CommandCode::kCallSignal:
            text.Text("вызов оператору");
            break;
        case CommandCode::kCancelCallSignal:
            text.Text("снять вызов");
            break;
        case CommandCode::kConfirmation:
            text.Text("подтверждение");
            break;
        default:
            text.Text(kUnknown);
            break;
    }
}

void DescribeMessage(std::span<const uint8_t> data, Description& text) {
    static constexpr std::string_view kLineStates[] = {" положена трубка", " поднята трубка",
                                                       " переполюсовка"};
    switch (static_cast<MessageCode>(data[0])) {
        case MessageCode::kAcknowledgement:
            text.Text("подтв. сканнер");
            break;
        case MessageCode::kHandsetUp:
            text.Text("поднята трубка - ").Number(1);
            break;
        case MessageCode::kHandsetDown:
            text.Text("опущена трубка - ").Number(1);
            break;
        case MessageCode::kDigit:
            text.Text("лин.-  ").Number(1).Text(" набр. цифра - ").Number(2);
            break;
        case MessageCode::kPolarityReversal:
            text.Text("переполюсовка -  ").Number(1);
            break;
        case MessageCode::kLineState:
            text.Text("на лин. - ").Number(1).Choice(2, kLineStates, " сост. - ");
            break;
        case MessageCode::kInductor:
            text.Text("индуктор -  ").Number(1);
            break;
        default:
            text.Text(kUnknown);
            break;
    }
}

}  // namespace

std::string DescribeFrame(const Frame& frame, FrameDirection direction) {
    const std::span<const uint8_t> data = FrameData(frame);
    Description text(data);
    text.Text(direction == FrameDirection::kSent ? "<- " : "-> ");
    if (data.empty()) {
        text.Text(kUnknown);
    } else if (direction == FrameDirection::kSent) {
        DescribeCommand(data, text);
    } else {
        DescribeMessage(data, text);
    }
    return text.Take();
}

std::string DescribeRejected(std::span<const uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string line = "ERR -> ";
    for (uint8_t byte : bytes) {
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
        line += ' ';
    }
    return line;
}

}  // namespace miradel
