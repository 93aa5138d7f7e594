#include "booths/Kabina.h"

#include <string>

#include "booths/BoothStates.h"

namespace miradel {

Kabina::Kabina(int panel, int16_t boothNumber, BoothEnvironment& env)
    : env_(env), panel_(static_cast<int16_t>(panel)), boothNumber_(boothNumber) {
    view_.button.visible = false;
    view_.nameLabel.visible = false;
    view_.moneyLabel.visible = false;
}

int16_t Kabina::HandleEvent(uint32_t, int32_t) {
    return 0;
}

BoothSnapshot Kabina::GetInfo() {
    BoothSnapshot s;
    s.panel = panel_;
    return s;
}

void Kabina::AddAdvance(int32_t) {}

void Kabina::SetUpAsKind(BoothKind kind) {
    const BoothKindInfo& info = KindInfo(kind);
    kind_ = kind;
    state_ = 1;
    view_.nameLabel.text = std::string(info.nameText) + std::to_string(boothNumber_);
    view_.nameLabel.textColour = info.nameColour;
    view_.nameLabel.background = info.nameBackground;
    view_.button.text = std::string(StateCaption(1));
    view_.button.picture = StatePicture(1);
    view_.button.hint = std::string(info.buttonHint);
    switch (kind) {
        case kKindZakaz:
            view_.moneyLabel.text = "00 : 00";
            break;
        case kKindAround:
            view_.moneyLabel.text.clear();
            break;
        default:
            view_.moneyLabel.text = "0.00";
            break;
    }
    view_.moneyLabel.background = Colour::MenuBackground;
    view_.button.visible = true;
    view_.nameLabel.visible = true;
    view_.moneyLabel.visible = true;
    Touch();
}

bool Kabina::PaintButton(bool recover) {
    const int picture = StatePicture(state_);
    view_.button.visible = false;
    view_.button.text = std::string(StateCaption(state_));
    Touch();
    if (recover && !env_.pictures.Usable(picture)) {
        view_.button.picture = -1;
        env_.pictures.Reload(picture);
        env_.operatorLog.LogEvent(kOperatorEventPictureFailed);
        return false;
    }
    view_.button.picture = picture;
    view_.button.visible = true;
    return true;
}

void Kabina::RedrawIfRequested() {
    if (!redraw_) {
        return;
    }
    if (PaintButton(true)) {
        redraw_ = false;
    }
}

void Kabina::DrawStateNow() {
    redraw_ = !PaintButton(true);
}

void Kabina::RepaintNow() {
    PaintButton(false);
}

void Kabina::SetMoneyText(const std::string& text) {
    if (view_.moneyLabel.text != text) {
        view_.moneyLabel.text = text;
        Touch();
    }
}

void Kabina::SetMoneyLook(Align align, Colour background) {
    if (view_.moneyLabel.align != align || view_.moneyLabel.background != background) {
        view_.moneyLabel.align = align;
        view_.moneyLabel.background = background;
        Touch();
    }
}

void Kabina::WriteSlotState(int16_t slotState) {
    env_.kabin.Modify([&](KabinData& d) { d.Record(panel_).state = slotState; });
}

void Kabina::WriteSlot(int16_t slotState, int32_t advance) {
    env_.kabin.Modify([&](KabinData& d) {
        d.Record(panel_).state = slotState;
        d.Record(panel_).advance = advance;
    });
}

}  // namespace miradel
