#pragma once
// The top-up dialog (" Доплата"), opened from the advance dialog's settlement view: the
// operator types the amount the client adds to the booth's advance.

#include <optional>
#include <string>
#include <string_view>

#include "common/Money.h"
#include "common/OperatorPrompt.h"

namespace miradel {

struct TopUpView {
    std::string caption{" Доплата"};
    std::string boothLine;  // "Кабина - 3"
    std::string prompt{"Ввести доплату - "};
    std::string amountField{"0.00"};
    bool amountSelected = true;
    int helpTopic = 105;
};

struct TopUpOutcome {
    std::optional<Money> amount;           // for the booth's AddAdvance; none: nothing changes
    std::optional<PromptRequest> message;  // a top-up that is no positive amount
};

class TopUpDialogModel {
  public:
    void Open(int panel, int boothNumber);
    // "Применить" or Enter with the field's text. The dialog closes either way.
    TopUpOutcome Apply(std::string_view amountText);
    void Cancel();  // "Отменить", Esc

    bool IsOpen() const { return open_; }
    int Panel() const { return panel_; }
    const TopUpView& View() const { return view_; }

  private:
    void Finish();

    TopUpView view_;
    int panel_ = 0;
    bool open_ = false;
};

}  // namespace miradel
