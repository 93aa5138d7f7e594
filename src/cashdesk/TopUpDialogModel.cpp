#include "cashdesk/TopUpDialogModel.h"

#include <fmt/format.h>

#include "cashdesk/AmountText.h"

namespace miradel {

void TopUpDialogModel::Open(int panel, int boothNumber) {
    panel_ = panel;
    open_ = true;
    view_ = TopUpView{};
    view_.boothLine = fmt::format("Кабина - {}", boothNumber);
}

TopUpOutcome TopUpDialogModel::Apply(std::string_view amountText) {
    TopUpOutcome outcome;
    if (!open_) {
        return outcome;
    }
    const std::optional<Money> amount = ReadAmount(amountText);
    if (amount && *amount > 0) {
        outcome.amount = *amount;
    } else {
        outcome.message =
            PromptRequest{"Доплата не внесена!\nВведите правильно сумму доплаты!",
                          "Ошибка внесения доплаты", PromptButtons::Ok, PromptIcon::Warning};
    }
    Finish();
    return outcome;
}

void TopUpDialogModel::Cancel() {
    Finish();
}

void TopUpDialogModel::Finish() {
    open_ = false;
    view_.amountField = "0.00";
    view_.amountSelected = true;
}

}  // namespace miradel
