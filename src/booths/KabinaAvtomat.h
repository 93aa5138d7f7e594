#pragma once
// The automatic booth: the client pays an advance, the operator switches the booth on, the
// client dials; the booth finds the number's price, meters the talk second by second against
// the advance, warns 30 seconds before the end, cuts the line when the money is spent, bills
// and records every call, and is settled and switched off by the operator.

#include <string>
#include <vector>

#include "booths/BoothProtocolLine.h"
#include "booths/BoothServices.h"
#include "booths/Kabina.h"

namespace miradel {

// LCD message types an advance booth posts.
enum BoothLcd : int {
    kLcdSwitchedOff = 1,
    kLcdSwitchedOn = 2,  // value: advance left
    kLcdHandsetUp = 3,
    kLcdFirstDigit = 4,  // value: the digit
    kLcdTalk = 6,        // value: remaining seconds
    kLcdError = 9,
    kLcdAdvanceUsedUp = 10,
    kLcdDigit = 27,  // value: the digit
    kLampOff = 28,
    kLampOn = 29,
};

// HandleEvent results (informational).
enum BoothResult : int16_t {
    kResultOk = 0,
    kResultAdvanceTooSmall = 1,  // less than one minute of the tariff
    kResultNoPrice = 2,          // no prefix, or the number cannot be priced
    kResultBadPolarity = 3,      // a polarity reversal that is not a valid start
};

class KabinaAvtomat final : public Kabina {
  public:
    KabinaAvtomat(int panel, int16_t boothNumber, BoothEnvironment& env, BoothServices& services);

    int16_t HandleEvent(uint32_t event, int32_t argument) override;
    BoothSnapshot GetInfo() override;
    void AddAdvance(int32_t amount) override;

    // For tests and the debug window.
    int32_t Remaining() const { return remaining_; }
    int32_t Elapsed() const { return elapsed_; }
    int32_t Tariff() const { return tariff_; }
    int32_t AdvanceLeft() const { return advanceLeft_; }
    int32_t IdleSeconds() const { return idleSeconds_; }
    bool InductorBlocked() const { return inductorBlock_; }
    const std::string& ProtocolLine() const { return log_.Text(); }

  private:
    // Events.
    void SwitchOn(int32_t amount);
    void HandsetUp();
    int16_t Digit(int32_t value);
    int16_t Polarity();
    void HandsetDown();
    void Inductor();
    void SecondTick();

    // The booth's transitions, by target state.
    void Enter(int16_t target);
    void EnterSwitchedOff(bool forceReceipt);
    void EnterHandsetUp();
    void EnterTalk();
    void HangUpAndBill();
    void BillCall();
    void EnterError(int16_t state, bool clearNumberFlags);
    void EnterIdle();
    void ResetAfterError();
    int16_t DiallingError(int16_t result);

    void ClearDigitData();
    void ShowAdvanceLeft();
    void WriteCallRecord(const InfoKabin& call);
    void LogMark(std::string_view mark);
    void Lcd(int type, int32_t value = 0);
    void Lamp(int type);
    void LineState(uint8_t state);
    bool Option(appcfg::Flag flag) const { return Env().config.Get(flag); }
    int32_t Option(appcfg::I32 field) const { return Env().config.Get(field); }
    int32_t Option(appcfg::I16 field) const { return Env().config.Get(field); }

    BoothServices& services_;
    BoothProtocolLine log_;
    int32_t remaining_ = 0;
    int32_t remainingAfterExtra_ = 0;
    int32_t elapsed_ = 0;
    int32_t advanceTaken_ = 0;
    int32_t advanceLeft_ = 0;
    int32_t lastCharge_ = 0;
    std::string digits_;  // at most kMaxDialledDigits stored
    int32_t numberLength_ = 0;
    int32_t analysisLength_ = 0;
    int32_t maximumDigits_ = 0;
    int32_t digitCount_ = 0;
    int32_t tariff_ = 0;
    int16_t startWait_ = 0;
    InfoKabin current_;
    std::vector<InfoKabin> records_;
    int32_t receiptNumber_ = 0;
    int16_t resetSeconds_ = 0;
    int16_t savedState_ = 0;
    int16_t inductorBlockSeconds_ = 0;
    bool inductorBlock_ = false;
    bool freeNumber_ = false;
    bool flatNumber_ = false;
    int32_t idleSeconds_ = 0;
};

}  // namespace miradel
