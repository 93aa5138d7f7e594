#include "app/BoothCommands.h"

#include <cctype>
#include <limits>

#include "booths/BoothKinds.h"

namespace miradel {

BoothClickAction ClickActionFor(const BoothSnapshot& booth) {
    switch (booth.kind) {
        case kKindAvtomat:
        case kKindVinos:
        case kKindFax:
        case kKindUniver:
            return BoothClickAction::kAdvanceDialog;
        case kKindZakaz:
            return BoothClickAction::kOrderEvent;
        case kKindAround:
            return BoothClickAction::kAroundInfo;
        default:
            return BoothClickAction::kNothing;
    }
}

int16_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    int32_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int16_t>::max()) {
            return std::numeric_limits<int16_t>::max();
        }
    }
    return static_cast<int16_t>(value);
}

int PanelOfBoothNumber(std::span<const BoothSnapshot> booths, int number) {
    for (std::size_t panel = 0; panel < booths.size(); ++panel) {
        const BoothSnapshot& s = booths[panel];
        if (s.kind != kKindNone && s.boothNumber == number) {
            return s.kind == kKindAround ? -1 : static_cast<int>(panel);
        }
    }
    return -1;
}

const std::array<const char*, 7>& BoothKindNames() {
    static const std::array<const char*, 7> names{"Отключена", "Автомат", "Заказ",    "Вынос",
                                                  "Факс",      "Обзвон",  "Универсал"};
    return names;
}

void BoothSettingsModel::Open(int panel, int16_t kind, int16_t boothNumber) {
    panel_ = panel;
    kind_ = kind >= 0 && kind <= kKindUniver ? kind : int16_t{kKindNone};
    view_.caption = "Физический номер кабины - " + std::to_string(panel + 1);
    view_.numberText = std::to_string(boothNumber);
    view_.kindIndex = kind_;
}

BoothSettingsOutcome BoothSettingsModel::Apply(std::string_view numberText, int kindIndex,
                                               int32_t aroundPanel) const {
    BoothSettingsOutcome out;
    out.boothNumber = LeadingNumber(numberText);
    out.kind = kindIndex >= 0 && kindIndex <= kKindUniver ? static_cast<int16_t>(kindIndex) : kind_;
    out.aroundPanel = aroundPanel;
    if (out.kind == kKindAround && kind_ != kKindAround) {
        if (aroundPanel != -1) {
            out.kind = kind_;
            out.message = PromptRequest{"Кабина обзвона уже есть в конфигурации!", "Error Set",
                                        PromptButtons::Ok, PromptIcon::Warning};
        } else {
            out.aroundPanel = panel_;
        }
    }
    if (kind_ == kKindAround && out.kind != kKindAround) {
        out.aroundPanel = -1;
    }
    out.aroundChanged = out.aroundPanel != aroundPanel;
    return out;
}

}  // namespace miradel
