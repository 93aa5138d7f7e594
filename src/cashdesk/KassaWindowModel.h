#pragma once
// The cash window ("  Касса") without its widgets: the rows it shows, view mode (0) and
// collection mode (1), the cash collection with its printouts, and its result code. The Qt
// window renders View() and forwards the operator's buttons.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/AppConfig.h"
#include "app/config/KassaDat.h"
#include "booths/BoothSnapshot.h"
#include "cashdesk/CollectionPrintouts.h"
#include "cashdesk/IncassTexts.h"
#include "common/Clock.h"
#include "common/Money.h"
#include "common/OperatorPrompt.h"

namespace miradel {

enum class KassaMode { kView = 0, kCollection = 1 };

// What the window returns to the main window.
enum KassaResult : int {
    kKassaNotCollected = 0,  // a collection window closed without a collection
    kKassaViewClosed = 1,    // a view window closed ("Смена" then runs the login)
    kKassaCollected = 2,     // a collection was booked
};

// "Инкассация" opens only while every booth is idle (state 0 or 1) or is the dial-around
// booth; otherwise the main window shows this refusal.
bool BoothsAllowCollection(std::span<const BoothSnapshot> booths);
PromptRequest ActiveBoothRefusal();

// The main window's state the cash window needs besides app.cfg.
struct DeskState {
    bool administrator = false;  // the not-administrator mark is 0
    bool fiscalOnline = false;   // a fiscal worker is running
};

// Where the printouts go; the main window supplies both.
class CollectionPrinter {
  public:
    virtual ~CollectionPrinter() = default;
    // One receipt-printer job; true when it began and every line was printed. On failure
    // `error` receives the printer's message.
    virtual bool PrintOnReceiptPrinter(const std::vector<std::string>& lines,
                                       std::string& error) = 0;
    // Hands a whole fiscal document to the print queue; its printing is not awaited.
    virtual void QueueFiscal(const std::vector<CollectionPrintRecord>& records) = 0;
};

struct KassaRowText {
    std::string label;   // column 0
    std::string amount;  // column 1
};

struct KassaWindowView {
    std::string caption{"  Касса"};
    std::array<KassaRowText, 8> rows;
    std::string unclaimedLabel{"Невостребованные:"};
    std::string unclaimedAmount;
    // Collection mode: "Оставить в кассе:" with the amount field and "Инкассировать".
    bool collectionControlsVisible = false;
    std::string leaveLabel{"Оставить в кассе:"};
    std::string amountField{"0.00"};
    std::string collectButton{"Инкассировать"};
    // View mode: "Печать".
    bool printVisible = false;
    std::string printButton{"Печать"};
    int helpTopic = 111;
};

struct CollectionOutcome {
    enum Kind {
        kBooked,         // counters booked, result 2, the window closes
        kTooMuchLeft,    // more left than there is: nothing booked, result 0, closes
        kNegativeLeft,   // a negative amount to leave: nothing booked, result 0, closes
        kPrintFailed,    // the receipt printer failed for an operator: nothing booked, stays
        kNotInThisMode,  // "Инкассировать" exists only in collection mode
    };
    Kind kind = kNotInThisMode;
    std::optional<PromptRequest> message;  // to show, in this order, before anything else
    std::string printError;                // the receipt printer's message, when it failed
    bool windowCloses = false;
};

class KassaWindowModel {
  public:
    // Created once at start-up, after incass.cfg was loaded; `organisation` is receipt
    // text 15.
    KassaWindowModel(KassaImage& kassa, AppConfig& config, IncassTexts texts,
                     std::string organisation);

    // Takes its copy of the counters and fills the view; `unclaimedTotal` is the sum of the
    // open unclaimed balances.
    void Open(KassaMode mode, Money unclaimedTotal);
    // "Закрыть": sets the result of a view window to 1; returns the result.
    int Close();

    // "Печать": the cash report, only with "Отчеты -> ККМ" on and the register online.
    // Returns whether anything was queued.
    bool PrintCashReport(const DeskState& desk, const LocalDateTime& now,
                         CollectionPrinter& printer);

    // "Инкассировать" with the text of the amount field.
    CollectionOutcome Collect(std::string_view amountText, const DeskState& desk,
                              const LocalDateTime& now, CollectionPrinter& printer);

    const KassaWindowView& View() const { return view_; }
    KassaMode Mode() const { return mode_; }
    bool IsOpen() const { return open_; }
    int Result() const { return result_; }

    // The last collection booked, for operator log event 4 ("Инкассация:").
    Money LastTaken() const { return lastTaken_; }
    Money LastLeft() const { return lastLeft_; }
    // The event's values: receipt number (next booth receipt − 1), taken, left.
    std::vector<std::string> OperatorLogValues() const;

  private:
    CollectionFigures Figures(Money taken, Money left, const LocalDateTime& now) const;
    std::optional<FiscalModel> FiscalTarget(const DeskState& desk) const;
    CollectionDocument Document() const;

    KassaImage& kassa_;
    AppConfig& config_;
    IncassTexts texts_;
    std::string organisation_;

    KassaMode mode_ = KassaMode::kView;
    bool open_ = false;
    KassaData copy_;
    KassaWindowView view_;
    int result_ = kKassaNotCollected;
    Money lastTaken_ = 0;
    Money lastLeft_ = 0;
    int32_t lastReceipt_ = 0;
};

}  // namespace miradel
