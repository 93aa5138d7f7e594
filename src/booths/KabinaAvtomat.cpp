#include "booths/KabinaAvtomat.h"

#include <algorithm>

#include "booths/BoothEvents.h"
#include "cashdesk/Kassa.h"
#include "common/Money.h"

namespace miradel {

using namespace appcfg;

namespace {

constexpr uint8_t kCmdSetLine = 3;
constexpr uint8_t kCmdAskLine = 4;
constexpr uint8_t kCmdWhistle = 7;
constexpr uint8_t kCmdCallOperator = 8;
constexpr uint8_t kCmdCancelCall = 9;
constexpr uint8_t kLineOff = 0;
constexpr uint8_t kLineConnected = 1;
constexpr uint8_t kLineTalk = 2;
constexpr int32_t kTalkForFreeTariff = 3600;  // seconds a tariff of 0 buys

bool In(int16_t state, std::initializer_list<int16_t> states) {
    return std::find(states.begin(), states.end(), state) != states.end();
}

int32_t TalkSeconds(int32_t money, int32_t tariff) {
    return tariff == 0 ? kTalkForFreeTariff : static_cast<int32_t>(int64_t{money} * 60 / tariff);
}

}  // namespace

KabinaAvtomat::KabinaAvtomat(int panel, int16_t boothNumber, BoothEnvironment& env,
                             BoothServices& services)
    : Kabina(panel, boothNumber, env),
      services_(services),
      log_(KindInfo(kKindAvtomat).nameText, boothNumber) {
    SetUpAsKind(kKindAvtomat);
}

int16_t KabinaAvtomat::HandleEvent(uint32_t event, int32_t argument) {
    switch (event) {
        case kEventClose:
            idleSeconds_ = 0;
            inductorBlock_ = true;
            inductorBlockSeconds_ = 0;
            if (State() == 6) {
                Enter(7);
            }
            Enter(1);
            return kResultOk;
        case kEventSwitchOn:
            SwitchOn(argument);
            return kResultOk;
        case kEventHandsetUp:
            HandsetUp();
            return kResultOk;
        case kEventDigit:
            return Digit(argument);
        case kEventPolarityReversal:
            return Polarity();
        case kEventHandsetDown:
            HandsetDown();
            return kResultOk;
        case kEventInductor:
            Inductor();
            return kResultOk;
        case kEventSecondTick:
            SecondTick();
            return kResultOk;
        case kEventCloseWithReceipt:
            inductorBlock_ = true;
            inductorBlockSeconds_ = 0;
            if (State() == 6) {
                Enter(7);
            }
            Enter(12);
            return kResultOk;
        case kEventError:
            idleSeconds_ = 0;
            Enter(9);
            return kResultOk;
        default:
            return kResultOk;
    }
}

BoothSnapshot KabinaAvtomat::GetInfo() {
    BoothSnapshot s;
    s.state = State();
    s.boothNumber = BoothNumber();
    s.panel = Panel();
    s.advanceLeft = advanceLeft_;
    s.advanceTaken = advanceTaken_;
    s.calls = static_cast<int16_t>(records_.size());
    s.kind = Kind();
    s.receiptNumber = receiptNumber_;
    s.digits = digits_;
    s.records = records_;
    return s;
}

// ---- events ----

void KabinaAvtomat::SwitchOn(int32_t amount) {
    if (State() == 1) {
        SetState(2);
        advanceTaken_ = advanceLeft_ = amount;
        receiptNumber_ = Env().config.Get(kNextBoothReceipt);
        Env().config.Set(kNextBoothReceipt, receiptNumber_ + 1);
        RequestRedraw();
        SetMoneyText(MoneyPanelText(amount));
        WriteSlot(2, amount);
        Kassa(Env().kassa).TakeBoothAdvance(amount);
        if (Option(kPrintAdvance)) {
            services_.receipts.PrintAdvanceReceipt(GetInfo());
        }
        Lcd(kLcdSwitchedOn, amount);
    }
    idleSeconds_ = 0;
    inductorBlock_ = true;
    inductorBlockSeconds_ = 0;
    Lcd(kLcdSwitchedOn, advanceLeft_);
    Lamp(kLampOn);
}

void KabinaAvtomat::HandsetUp() {
    idleSeconds_ = 0;
    LogMark("U");
    const int16_t state = State();
    if (In(state, {2, 8, 32})) {
        Enter(3);
        Lcd(kLcdHandsetUp);
    } else if (In(state, {4, 11}) && digitCount_ > 2) {
        Enter(14);
    } else if (state == 6 && Option(kClearByCalledParty) && !Option(kShortPolarity)) {
        Enter(7);
        Enter(31);
    }
}

int16_t KabinaAvtomat::Digit(int32_t value) {
    if (value < 1 || value > 10) {
        return kResultOk;  // not a digit the controller can report: nothing was dialled
    }
    idleSeconds_ = 0;
    if (State() == 8) {
        services_.line.Queue({kCmdCancelCall});
    }
    if (!In(State(), {3, 4, 6, 11})) {
        Enter(14);
        return kResultOk;
    }
    if (State() == 6) {  // dialling during talk ends the call
        Enter(7);
        Enter(14);
        return kResultOk;
    }
    const int digit = value == 10 ? 0 : value;
    const char digitChar = static_cast<char>('0' + digit);
    bool firstDigitPosted = false;
    if (State() == 3) {
        Enter(4);
        SetMoneyText("");
        SetMoneyLook(Align::Left, View().moneyLabel.background);
        Lcd(kLcdFirstDigit, digit);
        firstDigitPosted = true;
    }
    if (In(State(), {4, 11})) {
        if (digitCount_ < kMaxDialledDigits) {
            digits_.push_back(digitChar);
            std::string label = View().moneyLabel.text;
            if (digitCount_ == 9) {
                label.push_back(' ');
            }
            label.push_back(digitChar);
            SetMoneyText(label);
            if (!firstDigitPosted) {
                Lcd(kLcdDigit, digit);
            }
            if (DialogOpen()) {
                services_.dialog.AppendDigit(digitChar);
            }
            LogMark(std::string_view(&digitChar, 1));
        }
        ++digitCount_;
    }

    if (State() == 4) {
        if (digitCount_ >= 3 && digitCount_ <= 5) {
            const std::optional<PrefixMatch> match = services_.tariffs.FindPrefix(digits_);
            if (!match && digitCount_ == 5) {
                return DiallingError(kResultNoPrice);
            }
            if (match) {
                numberLength_ = match->numberLength;
                analysisLength_ = match->analysisLength;
                freeNumber_ = match->zoneFile >= 90 && match->zoneFile <= 94;
                flatNumber_ = match->zoneFile >= 95 && match->zoneFile <= 99;
                maximumDigits_ = std::min(numberLength_ < 8 ? numberLength_ + 2 : numberLength_ + 4,
                                          kMaxDialledDigits);
            }
        }
        if (analysisLength_ > 0 && digitCount_ >= analysisLength_) {
            tariff_ = services_.tariffs.TariffNow(digits_);
            if (tariff_ != -1 &&
                (freeNumber_ || (flatNumber_ && Option(kServiceWithoutPolarity)))) {
                Enter(6);
                return kResultOk;
            }
            if (tariff_ == -1) {
                return DiallingError(kResultNoPrice);
            }
            if (advanceLeft_ < tariff_) {
                return DiallingError(kResultAdvanceTooSmall);
            }
            remaining_ = TalkSeconds(advanceLeft_, tariff_);
        }
        if (digitCount_ == numberLength_) {
            Enter(11);
        }
    } else if (State() == 11 && Option(kAutoTariffStart) == 0) {
        if (startWait_ >= Option(kStartDelay) && value == Option(kStartDigit)) {
            Enter(6);
        }
        if (State() == 11) {
            startWait_ = 0;
        }
    }

    if (maximumDigits_ > 0 && digitCount_ > maximumDigits_) {
        Enter(7);
        Enter(14);
    }
    return kResultOk;
}

int16_t KabinaAvtomat::Polarity() {
    idleSeconds_ = 0;
    LogMark("P");
    const int16_t state = State();
    if (state == 6 || (state == 4 && digitCount_ == 1)) {
        return kResultOk;
    }
    const bool byPolarity = Option(kAutoTariffStart) == 1;
    if (In(state, {4, 11, 32}) && numberLength_ > 0 && digitCount_ >= numberLength_ && byPolarity) {
        Enter(6);
        return kResultOk;
    }
    if (byPolarity) {
        return DiallingError(kResultBadPolarity);
    }
    return kResultOk;
}

void KabinaAvtomat::HandsetDown() {
    idleSeconds_ = 0;
    LogMark("D");
    if (Option(kWriteAppLog)) {
        log_.Flush(Env().workFolder / kAppLogName, Env().clock.Now());
    }
    inductorBlock_ = true;
    inductorBlockSeconds_ = 0;
    Enter(7);
}

void KabinaAvtomat::Inductor() {
    LogMark("I");
    if (inductorBlock_) {
        return;
    }
    if (In(State(), {1, 2})) {
        savedState_ = State();
        SetState(8);
        RequestRedraw();
        services_.line.Queue({kCmdCallOperator});
    }
}

void KabinaAvtomat::SecondTick() {
    RedrawIfRequested();

    if (State() == 32) {
        ++idleSeconds_;
        SetMoneyText(TalkTimeText(idleSeconds_));
        return;
    }
    if (!In(State(), {1, 6})) {
        ++idleSeconds_;
        if (Option(kIdleControl) && idleSeconds_ >= Option(kIdleMaxSeconds)) {
            Enter(32);
        }
    }

    if (State() == 11) {
        ++startWait_;
        if (Option(kStartByTime) && startWait_ >= Option(kStartByTimeSeconds) &&
            Option(kAutoTariffStart) == 0) {
            Enter(6);
        }
    }

    if (State() == 6) {
        if (Option(kExtraChargeOn) && elapsed_ == Option(kExtraChargeGraceSeconds) &&
            numberLength_ > 7) {
            elapsed_ += remaining_ - remainingAfterExtra_;
            remaining_ = remainingAfterExtra_;
            Lcd(kLcdTalk, remaining_);
        }
        ++elapsed_;
        if (!flatNumber_) {
            --remaining_;
        }
        SetMoneyText(TalkTimeText(elapsed_));
        if (remaining_ <= 0) {
            remaining_ = 0;
            Enter(7);
        }
    }

    if (remaining_ == 30) {  // the warning second is metered in addition
        ++elapsed_;
        --remaining_;
        services_.line.Queue({kCmdWhistle, static_cast<uint8_t>(Panel())});
        RequestRedraw();
    }

    if (In(State(), {14, 31})) {
        if (++resetSeconds_ >= 3) {
            ResetAfterError();
        }
    }

    if (inductorBlock_) {
        if (++inductorBlockSeconds_ >= Option(kInductorBlockSeconds)) {
            inductorBlock_ = false;
            inductorBlockSeconds_ = 0;
        }
    }
}

void KabinaAvtomat::AddAdvance(int32_t amount) {
    if (State() == 1) {
        return;
    }
    advanceTaken_ += amount;
    advanceLeft_ += amount;
    WriteSlot(2, advanceLeft_);
    Kassa(Env().kassa).TakeBoothAdvance(amount);
    if (State() == 6) {
        // At a tariff of 0 the talk already has its full hour; the advance only waits.
        if (tariff_ > 0) {
            remaining_ += TalkSeconds(amount, tariff_);
        }
        Lcd(kLcdTalk, remaining_);
    } else {
        ShowAdvanceLeft();
        Lcd(kLcdSwitchedOn, advanceLeft_);
    }
    if (Option(kPrintAdvance)) {
        services_.receipts.PrintAdvanceReceipt(GetInfo());
    }
}

// ---- transitions ----

void KabinaAvtomat::Enter(int16_t target) {
    switch (target) {
        case 1:
            EnterSwitchedOff(false);
            break;
        case 3:
            EnterHandsetUp();
            break;
        case 4:
            SetState(4);
            RequestRedraw();
            break;
        case 6:
            EnterTalk();
            break;
        case 7:
            HangUpAndBill();
            break;
        case 9:
            if (State() == 1) {
                break;
            }
            if (DialogOpen()) {
                services_.dialog.Close();
                SetDialogOpen(false);
            }
            LineState(kLineOff);
            SetState(9);
            RequestRedraw();
            Lcd(kLcdError);
            ShowAdvanceLeft();
            break;
        case 12:
            EnterSwitchedOff(true);
            break;
        case 13:
            LineState(kLineOff);
            SetState(13);
            RequestRedraw();
            break;
        case 14:
            EnterError(14, true);
            break;
        case 31:
            EnterError(31, false);
            break;
        case 32:
            EnterIdle();
            break;
        default:
            SetState(target);
            break;
    }
}

void KabinaAvtomat::EnterSwitchedOff(bool forceReceipt) {
    // Settlement: the receipt, the rest of the advance back to the client, the booth cleared.
    if (!records_.empty() && (forceReceipt || Option(kPrintSettlement))) {
        services_.receipts.PrintSettlementReceipt(GetInfo());
    }
    Kassa(Env().kassa).PayBackBoothAdvance(advanceLeft_);
    SetState(1);
    RequestRedraw();
    advanceLeft_ = 0;
    SetMoneyText("0.00");
    remaining_ = 0;
    remainingAfterExtra_ = 0;
    elapsed_ = 0;
    ClearDigitData();
    numberLength_ = 0;
    analysisLength_ = 0;
    maximumDigits_ = 0;
    freeNumber_ = false;
    flatNumber_ = false;
    tariff_ = 0;
    advanceTaken_ = 0;
    receiptNumber_ = 0;
    records_.clear();
    current_ = {};
    WriteSlot(1, 0);
    Lcd(kLcdSwitchedOff);
    Lamp(kLampOff);
    SetMoneyLook(Align::Centre, View().moneyLabel.background);
}

void KabinaAvtomat::EnterHandsetUp() {
    if (State() == 8) {
        services_.line.Queue({kCmdCancelCall});
    }
    if (records_.size() >= kMaxCallRecords) {
        Enter(13);
        return;
    }
    SetState(3);
    RequestRedraw();
    Lcd(kLcdHandsetUp);
}

void KabinaAvtomat::EnterTalk() {
    const int32_t extraPrice = Option(kExtraChargePrice);
    const int32_t extraGrace = Option(kExtraChargeGraceSeconds);
    if (tariff_ == 0) {
        remaining_ = kTalkForFreeTariff;
        remainingAfterExtra_ = kTalkForFreeTariff;
    } else {
        remaining_ = TalkSeconds(advanceLeft_, tariff_);
        remainingAfterExtra_ =
            std::max(TalkSeconds(std::max(advanceLeft_ - extraPrice, 0), tariff_) - extraGrace, 1);
    }
    SetState(6);
    RequestRedraw();
    Lcd(kLcdTalk, remaining_);
    const LocalDateTime now = Env().clock.Now();
    current_ = {};
    current_.year = now.year;
    current_.month = static_cast<uint8_t>(now.month);
    current_.day = static_cast<uint8_t>(now.day);
    current_.hour = static_cast<uint8_t>(now.hour);
    current_.minute = static_cast<uint8_t>(now.minute);
    current_.second = static_cast<uint8_t>(now.second);
    current_.hundredths = static_cast<uint8_t>(now.hundredths);
    LineState(kLineTalk);
    SetMoneyLook(Align::Centre, View().moneyLabel.background);
}

void KabinaAvtomat::HangUpAndBill() {
    const int16_t state = State();
    if (state == 8) {
        SetState(savedState_);
        RequestRedraw();
        services_.line.Queue({kCmdCancelCall});
        return;
    }
    if (In(state, {0, 1, 2, 7, 9, 10, 13, 14, 15, 31})) {
        return;
    }
    digitCount_ = 0;
    startWait_ = 0;
    maximumDigits_ = 0;
    freeNumber_ = false;
    if (state == 6 && elapsed_ > Option(kGraceTime)) {
        BillCall();
    } else if (state == 6) {  // within the grace time: free, no record
        LineState(kLineConnected);
        SetState(2);
        RequestRedraw();
        remaining_ = 0;
        digits_.clear();
        elapsed_ = 0;
        current_ = {};
        ShowAdvanceLeft();
        Lcd(kLcdSwitchedOn, advanceLeft_);
    } else {
        SetState(2);
        RequestRedraw();
        remaining_ = 0;
        tariff_ = 0;
        digits_.clear();
    }
    if (DialogOpen()) {
        services_.dialog.Refresh(GetInfo());
    }
    Lcd(kLcdSwitchedOn, advanceLeft_);
    ShowAdvanceLeft();
    SetMoneyLook(Align::Centre, View().moneyLabel.background);
}

void KabinaAvtomat::BillCall() {
    LineState(kLineConnected);
    if (remaining_ > 1 && Option(kOneSecondCorrection)) {
        ++remaining_;
        --elapsed_;
    }
    int32_t charge;
    if (remaining_ == 0) {  // the advance ran out
        charge = advanceLeft_;
        advanceLeft_ = 0;
    } else {
        if (numberLength_ <= 7) {
            elapsed_ = std::max(elapsed_, Option(kLocalMinimumMinutes) * 60);
        }
        charge = flatNumber_ ? tariff_ : static_cast<int32_t>(int64_t{tariff_} * elapsed_ / 60);
        flatNumber_ = false;
        advanceLeft_ -= charge;
    }
    lastCharge_ = charge;
    const bool exhausted = advanceLeft_ == 0;
    if (!exhausted) {
        SetState(2);
        RequestRedraw();
        remaining_ = 0;
        ShowAdvanceLeft();
        Lcd(kLcdSwitchedOn, advanceLeft_);
    } else {
        LineState(kLineOff);
        SetState(10);
        RequestRedraw();
        remaining_ = 0;
        SetMoneyText("0.00");
        Lcd(kLcdAdvanceUsedUp);
        WriteSlot(10, 0);
    }
    current_.boothNumber = BoothNumber();
    current_.SetDigits(digits_);
    digits_.clear();
    current_.duration = elapsed_;
    current_.charge = charge;
    current_.tariff = tariff_;
    records_.push_back(current_);
    elapsed_ = 0;
    WriteCallRecord(records_.back());
    Kassa(Env().kassa).BillBoothCall(charge);
    // kabin.cfg keeps 10 for a booth whose advance is spent, 2 otherwise.
    WriteSlot(exhausted ? 10 : 2, advanceLeft_);
}

void KabinaAvtomat::WriteCallRecord(const InfoKabin& call) {
    services_.calls.WriteCallRecord(
        {call, receiptNumber_, Env().config.Get(kOperatorOnDuty), advanceTaken_, advanceLeft_});
}

void KabinaAvtomat::EnterError(int16_t state, bool clearNumberFlags) {
    if (State() == 1) {
        return;
    }
    ClearDigitData();
    remaining_ = 0;
    tariff_ = 0;
    if (clearNumberFlags) {
        freeNumber_ = false;
        flatNumber_ = false;
    }
    LineState(kLineOff);
    SetState(state);
    RequestRedraw();
    if (state == 14) {
        Lcd(kLcdError);
    }
    ShowAdvanceLeft();
}

void KabinaAvtomat::EnterIdle() {
    SetState(32);
    DrawStateNow();
    SetMoneyLook(Align::Centre, View().moneyLabel.background);
}

void KabinaAvtomat::ResetAfterError() {
    if (DialogOpen()) {
        services_.dialog.Refresh(GetInfo());
    }
    SetState(2);
    resetSeconds_ = 0;
    RequestRedraw();
    services_.line.Queue({kCmdAskLine, static_cast<uint8_t>(Panel())});
    LineState(kLineConnected);
    ShowAdvanceLeft();
    SetMoneyLook(Align::Centre, Colour::MenuBackground);
}

int16_t KabinaAvtomat::DiallingError(int16_t result) {
    Enter(Option(kErrorReaction) == 0 ? 9 : 14);
    return result;
}

void KabinaAvtomat::ClearDigitData() {
    digits_.clear();
    digitCount_ = 0;
    startWait_ = 0;
}

void KabinaAvtomat::ShowAdvanceLeft() {
    SetMoneyText(MoneyPanelText(advanceLeft_));
}

void KabinaAvtomat::LogMark(std::string_view mark) {
    if (Option(kWriteAppLog)) {
        log_.Append(mark);
    }
}

void KabinaAvtomat::Lcd(int type, int32_t value) {
    if (Option(kLcdTerminals) && services_.terminal.LcdActive()) {
        services_.terminal.PostLcd(type, Panel(), value);
    }
}

void KabinaAvtomat::Lamp(int type) {
    if (Option(kLightingControl)) {
        services_.terminal.PostLamp(type, Env().config.Get(kLampMap)[Panel()]);
    }
}

void KabinaAvtomat::LineState(uint8_t state) {
    services_.line.Queue({kCmdSetLine, static_cast<uint8_t>(Panel()), state});
}

}  // namespace miradel
