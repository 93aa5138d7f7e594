#pragma once
// The advance dialog (" Кабина - N") without its widgets. For an idle booth it takes the
// advance the client pays; for a booth that holds an advance it shows the turn and offers
// the settlement buttons. It changes no booth: it ends with a result code that the main
// window hands to the booth (event 1 with the amount, event 0 or 8, AddAdvance).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "booths/BoothSnapshot.h"
#include "common/Money.h"
#include "common/OperatorPrompt.h"

namespace miradel {

// Results besides an advance (> 0) and 0 (closed without an action, or an advance of 0).
enum AdvanceResult : int {
    kAdvanceSettle = -1,          // "Расчитать": settle the booth (event 0)
    kAdvanceSettleAndPrint = -2,  // "Печать": settle and print the receipt (event 8)
    kAdvanceUnclaimed = -3,  // "Невостребованно": settle, the rest stays unclaimed
};

inline constexpr int kCallGridRows = 30;
inline constexpr std::array<std::string_view, 6> kCallGridHeaders = {
    "     Набранный номер", "Длительность", "   Сумма", "   Тариф", "  Время", "   Дата",
};

using CallGridRow = std::array<std::string, 6>;

// One row of the call grid, leading blanks included.
CallGridRow CallGridRowOf(const InfoKabin& call);

// The dialled number a call record holds.
std::string DialledDigits(const InfoKabin& call);

enum class AdvanceView { kAdvance, kSettlement };

struct AdvanceDialogView {
    AdvanceView view = AdvanceView::kAdvance;
    std::string caption;       // " Кабина - 3"
    std::string callsLine;     // "Переговоров - 2"
    std::string moneyCaption;  // " Аванс: " or "Остаток:"
    std::string depositLine;   // "Внесенный аванс - 20.00"
    std::string toPayLine;     // "К оплате - 3.50"
    std::string dialledLine;   // "Набран номер - 8495..."
    std::string amountField;
    bool amountEnabled = false;
    bool amountSelected = false;
    bool depositEnabled = false;    // "Внести"
    bool settleEnabled = false;     // "Расчитать"
    bool printEnabled = false;      // "Печать"
    bool topUpEnabled = false;      // "Доплата"
    bool unclaimedEnabled = false;  // "Невостребованно"
    std::vector<CallGridRow> rows;  // at most kCallGridRows
    int helpTopic = 102;
};

// Keys of the amount field besides characters.
inline constexpr std::string_view kKeyBackspace = "\b";
inline constexpr std::string_view kKeyEnter = "\r";

struct KeyDecision {
    bool accepted = false;
    std::optional<PromptRequest> message;  // "Неверный символ- ..." for a foreign character
};

inline constexpr std::size_t kAmountFieldLimit = 7;

// The amount field's rules, for a key (one UTF-8 character, or a key above) typed into
// `text`: backspace always; digits, the point and Enter only; once the text holds a point
// (unless it is the untouched "0.00") no second point and nothing after two decimals.
KeyDecision CheckAmountKey(std::string_view text, std::string_view key);

class AdvanceDialogModel {
  public:
    // Opening: the view follows the booth's state (1 idle: advance view).
    void Open(const BoothSnapshot& booth);
    // The booth changed while the dialog is open: the settlement view drawn afresh, with
    // "Невостребованно" left as it was.
    void Refresh(const BoothSnapshot& booth);
    // A digit the booth's client dialled while the dialog is open.
    void AppendDigit(std::string_view digits);
    // The booth went into its error state: the dialog closes with result 0.
    void CloseByBooth();

    // A key in the amount field (advance view). An accepted character replaces the selected
    // text or is appended; Enter confirms.
    KeyDecision TypeKey(std::string_view key);
    // "Внести" (or Enter): the field's whole text as the advance, and close.
    void Deposit();
    void Settle();          // "Расчитать"
    void SettleAndPrint();  // "Печать"
    void Unclaimed();       // "Невостребованно"
    // "Доплата": closes with result 0 and returns the panel whose top-up dialog opens next;
    // nullopt when the button is disabled.
    std::optional<int> TopUp();
    void Close();  // "Закрыть", Esc

    bool IsOpen() const { return open_; }
    int Result() const { return result_; }
    int Panel() const { return panel_; }
    const AdvanceDialogView& View() const { return view_; }

  private:
    void ShowSettlement(const BoothSnapshot& booth);
    void Finish(int result);

    AdvanceDialogView view_;
    int panel_ = 0;
    int result_ = 0;
    bool open_ = false;
};

}  // namespace miradel
