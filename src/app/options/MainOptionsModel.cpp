#include "app/options/MainOptionsModel.h"
#include "common/TextTrim.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace miradel {

using namespace appcfg;

namespace {

// from_chars takes no leading '+', which the operator may well type.
std::string_view WithoutPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return {};  // "+-5" is no number
        }
    }
    return text;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    text = WithoutPlus(TrimBlanks(text));
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// A decimal comma is as good as a point: the operator's keyboard layout decides which comes.
std::optional<double> ParseReal(std::string_view text) {
    std::string s(WithoutPlus(TrimBlanks(text)));
    for (char& c : s) {
        if (c == ',') {
            c = '.';
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc{} || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string RealText(float value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : std::string("0");
}

// Hundredths as the shortest decimal: 150 -> "1.5", 200 -> "2", 5 -> "0.05".
std::string PagePriceText(int32_t hundredths) {
    const int64_t value = hundredths;
    const int64_t magnitude = value < 0 ? -value : value;
    std::string text = (value < 0 ? "-" : "") + std::to_string(magnitude / 100);
    const int64_t cents = magnitude % 100;
    if (cents != 0) {
        text += '.';
        text += char('0' + cents / 10);
        if (cents % 10 != 0) {
            text += char('0' + cents % 10);
        }
    }
    return text;
}

template <class Int>
bool Fits(int64_t value) {
    return value >= std::numeric_limits<Int>::min() && value <= std::numeric_limits<Int>::max();
}

int64_t StoredInteger(const AppConfigData& image, const OptionField& field) {
    if (const auto* i32 = std::get_if<I32>(&field)) {
        return image.Get(*i32);
    }
    if (const auto* i16 = std::get_if<I16>(&field)) {
        return image.Get(*i16);
    }
    return 0;
}

// False when the value does not fit the field; the image is then left as it was.
bool StoreInteger(AppConfigData& image, const OptionField& field, int64_t value) {
    if (const auto* i32 = std::get_if<I32>(&field); i32 && Fits<int32_t>(value)) {
        image.Set(*i32, static_cast<int32_t>(value));
        return true;
    }
    if (const auto* i16 = std::get_if<I16>(&field); i16 && Fits<int16_t>(value)) {
        image.Set(*i16, static_cast<int16_t>(value));
        return true;
    }
    return false;
}

OptionState StateFromImage(const OptionControl& c, const AppConfigData& image) {
    OptionState s;
    switch (c.kind) {
        case OptionKind::kInteger:
            s.text = std::to_string(StoredInteger(image, c.field));
            break;
        case OptionKind::kText:
            s.text = image.Get(std::get<Text>(c.field));
            break;
        case OptionKind::kCheck:
            s.checked = image.Get(std::get<Flag>(c.field));
            break;
        case OptionKind::kChoice: {
            const int32_t index = image.Get(std::get<I32>(c.field));
            s.choice = index >= 0 && std::size_t(index) < c.choices.size() ? index : -1;
            break;
        }
        case OptionKind::kReal:
            s.text = RealText(image.Get(std::get<F32>(c.field)));
            break;
        case OptionKind::kPagePrice:
            s.text = PagePriceText(image.Get(std::get<I32>(c.field)));
            break;
    }
    return s;
}

// Writes one control into the image; false when its text could not be taken.
bool StoreControl(const OptionControl& c, const OptionState& s, AppConfigData& image) {
    switch (c.kind) {
        case OptionKind::kInteger: {
            std::optional<int64_t> value = ParseInteger(s.text);
            if (value && c.absolute && *value < 0) {
                *value = -*value;
            }
            return value && StoreInteger(image, c.field, *value);
        }
        case OptionKind::kText:
            // The field keeps its first width - 1 characters; the rest is cut.
            image.Set(std::get<Text>(c.field), s.text);
            return true;
        case OptionKind::kCheck:
            image.Set(std::get<Flag>(c.field), s.checked);
            return true;
        case OptionKind::kChoice:
            if (s.choice >= 0) {
                image.Set(std::get<I32>(c.field), s.choice);
            }
            return true;
        case OptionKind::kReal: {
            const std::optional<double> value = ParseReal(s.text);
            if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) {
                return false;
            }
            image.Set(std::get<F32>(c.field), static_cast<float>(*value));
            return true;
        }
        case OptionKind::kPagePrice: {
            const std::optional<double> value = ParseReal(s.text);
            if (!value) {
                return false;
            }
            const double hundredths = std::round(*value * 100.0);
            if (hundredths < std::numeric_limits<int32_t>::min() ||
                hundredths > std::numeric_limits<int32_t>::max()) {
                return false;
            }
            return StoreInteger(image, c.field, static_cast<int64_t>(hundredths));
        }
    }
    return false;
}

}  // namespace

MainOptionsModel::MainOptionsModel() : states_(Controls().size()) {
    shortPolarity_ = Find("Короткая п/п-ка").value_or(0);
    clearByCalledParty_ = Find("Отбой абонента Б").value_or(0);
}

std::optional<std::size_t> MainOptionsModel::Find(std::string_view caption,
                                                  std::string_view group) const {
    const auto& controls = Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].caption == caption && (group.empty() || controls[i].group == group)) {
            return i;
        }
    }
    return std::nullopt;
}

void MainOptionsModel::Open(const AppConfigData& image) {
    const auto& controls = Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        states_[i] = StateFromImage(controls[i], image);
    }
    // A damaged file may hold both boxes set; the first one wins, as a click on it would.
    if (states_[shortPolarity_].checked) {
        Exclude(shortPolarity_, clearByCalledParty_);
    } else if (states_[clearByCalledParty_].checked) {
        Exclude(clearByCalledParty_, shortPolarity_);
    }
}

const OptionState& MainOptionsModel::State(std::size_t control) const {
    static const OptionState kNone{};
    return control < states_.size() ? states_[control] : kNone;
}

void MainOptionsModel::SetText(std::size_t control, std::string text) {
    if (control >= states_.size()) {
        return;
    }
    const OptionKind kind = Controls()[control].kind;
    if (kind == OptionKind::kCheck || kind == OptionKind::kChoice) {
        return;
    }
    states_[control].text = std::move(text);
}

void MainOptionsModel::SetChecked(std::size_t control, bool checked) {
    if (control >= states_.size() || Controls()[control].kind != OptionKind::kCheck ||
        !states_[control].enabled) {
        return;
    }
    states_[control].checked = checked;
    if (control == shortPolarity_) {
        Exclude(shortPolarity_, clearByCalledParty_);
    } else if (control == clearByCalledParty_) {
        Exclude(clearByCalledParty_, shortPolarity_);
    }
}

void MainOptionsModel::SetChoice(std::size_t control, int index) {
    if (control >= states_.size() || Controls()[control].kind != OptionKind::kChoice || index < 0 ||
        std::size_t(index) >= Controls()[control].choices.size()) {
        return;
    }
    states_[control].choice = index;
}

// Checking one of the pair clears and locks the other; clearing it frees the other again.
void MainOptionsModel::Exclude(std::size_t changedBox, std::size_t otherBox) {
    if (states_[changedBox].checked) {
        states_[otherBox].checked = false;
        states_[otherBox].enabled = false;
    } else {
        states_[otherBox].enabled = true;
    }
}

MainOptionsOutcome MainOptionsModel::Apply(const AppConfigData& base) const {
    MainOptionsOutcome out;
    out.config = base;
    const auto& controls = Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!StoreControl(controls[i], states_[i], out.config)) {
            out.rejected.push_back(controls[i].caption);
        }
    }
    // Applying the main options also repairs the legacy counter and clears the reserved word.
    if (out.config.Get(kLegacyReceiptCounter) < 1) {
        out.config.Set(kLegacyReceiptCounter, 1);
    }
    out.config.Set(kReserved72, 0);

    const bool logBefore = base.Get(kWriteAppLog);
    const bool logNow = out.config.Get(kWriteAppLog);
    out.refreshCaption = logBefore != logNow;
    out.appLogSwitchedOn = !logBefore && logNow;
    out.remoteStationAddress = out.config.Get(kRemoteStationAddress);
    out.fiscalProtocol = out.config.Get(kFiscalProtocol);
    out.remoteAround = out.config.Get(kRemoteAround);
    return out;
}

}  // namespace miradel
