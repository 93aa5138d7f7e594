#include "cashdesk/AdvanceDialogModel.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>

#include "cashdesk/AmountText.h"

namespace miradel {

namespace {

constexpr int16_t kStateIdle = 1;
constexpr int16_t kStateAdvanceUsedUp = 10;

// "%u.%.2u" of a money amount; a negative one keeps its sign in front.
std::string GridMoney(int32_t value) {
    return MoneyFieldText(value);
}

std::string MinutesSeconds(long long a, long long b) {
    return fmt::format("{:02} : {:02}", a, b);
}

}  // namespace

std::string DialledDigits(const InfoKabin& call) {
    const std::size_t n = ::strnlen(call.digits.data(), call.digits.size());
    return std::string(call.digits.data(), n);
}

CallGridRow CallGridRowOf(const InfoKabin& c) {
    const long long duration = std::max(c.duration, 0);
    return {
        DialledDigits(c),
        "      " + MinutesSeconds(duration / 60, duration % 60),
        "    " + GridMoney(c.charge),
        "    " + GridMoney(c.tariff),
        "  " + MinutesSeconds(c.hour, c.minute),
        fmt::format("{:02}/{:02}/{:02}", c.day, c.month, (c.year % 100 + 100) % 100),
    };
}

KeyDecision CheckAmountKey(std::string_view text, std::string_view key) {
    KeyDecision d;
    if (key == kKeyBackspace) {
        d.accepted = true;
        return d;
    }
    const bool digit = key.size() == 1 && key[0] >= '0' && key[0] <= '9';
    const bool point = key == ".";
    if (!digit && !point && key != kKeyEnter) {
        d.message = PromptRequest{fmt::format("Неверный символ- \"{}\"", key), "Error Character",
                                  PromptButtons::Ok, PromptIcon::Error};
        return d;
    }
    // Enter always confirms the amount as it stands.
    if (key == kKeyEnter) {
        d.accepted = true;
        return d;
    }
    const std::size_t dot = text.find('.');
    if (dot != std::string_view::npos && text != "0.00") {
        if (point || text.size() - dot - 1 >= 2) {
            return d;
        }
    }
    d.accepted = true;
    return d;
}

void AdvanceDialogModel::Open(const BoothSnapshot& b) {
    open_ = true;
    result_ = 0;
    panel_ = b.panel;
    view_ = AdvanceDialogView{};
    view_.caption = fmt::format(" Кабина - {}", b.boothNumber);
    view_.callsLine = fmt::format("Переговоров - {}", b.calls);
    if (b.state != kStateIdle) {
        ShowSettlement(b);
        view_.dialledLine = "Набран номер - " + b.digits;
        view_.unclaimedEnabled = true;
        return;
    }
    view_.view = AdvanceView::kAdvance;
    view_.moneyCaption = " Аванс: ";
    view_.depositLine = "Внесенный аванс - 0.00";
    view_.toPayLine = "К оплате - 0.00";
    view_.dialledLine = "Набран номер - ";
    if (!b.records.empty()) {
        view_.dialledLine += DialledDigits(b.records.back());
    }
    view_.amountField = MoneyPanelText(b.advanceLeft);
    view_.amountEnabled = true;
    view_.amountSelected = true;
    view_.depositEnabled = true;
    view_.helpTopic = 102;
}

void AdvanceDialogModel::ShowSettlement(const BoothSnapshot& b) {
    view_.view = AdvanceView::kSettlement;
    view_.moneyCaption = "Остаток:";
    view_.depositLine = "Внесенный аванс - " + MoneyReceiptText(b.advanceTaken);
    view_.toPayLine = "К оплате - " +
                      MoneyReceiptText(static_cast<Money>(int64_t{b.advanceTaken} - b.advanceLeft));
    view_.amountField = MoneyPanelText(b.advanceLeft);
    view_.amountEnabled = false;
    view_.amountSelected = false;
    view_.depositEnabled = false;
    view_.settleEnabled = true;
    view_.printEnabled = true;
    view_.topUpEnabled = b.state != kStateAdvanceUsedUp;
    view_.rows.clear();
    const std::size_t n = std::min<std::size_t>(b.records.size(), kCallGridRows);
    for (std::size_t i = 0; i < n; ++i) {
        view_.rows.push_back(CallGridRowOf(b.records[i]));
    }
    view_.helpTopic = 106;
}

void AdvanceDialogModel::Refresh(const BoothSnapshot& b) {
    if (!open_) {
        return;
    }
    view_.caption = fmt::format(" Кабина - {}", b.boothNumber);
    view_.callsLine = fmt::format("Переговоров - {}", b.calls);
    ShowSettlement(b);
    view_.dialledLine = "Набран номер - ";  // the booth appends the digits as they come
}

void AdvanceDialogModel::AppendDigit(std::string_view digits) {
    if (open_) {
        view_.dialledLine.append(digits);
    }
}

void AdvanceDialogModel::CloseByBooth() {
    Finish(0);
}

KeyDecision AdvanceDialogModel::TypeKey(std::string_view key) {
    if (!open_ || !view_.amountEnabled) {
        return {};
    }
    KeyDecision d = CheckAmountKey(view_.amountField, key);
    if (!d.accepted) {
        return d;
    }
    if (key == kKeyEnter) {
        Deposit();
        return d;
    }
    if (key == kKeyBackspace) {
        if (view_.amountSelected) {
            view_.amountField.clear();
        } else if (!view_.amountField.empty()) {
            view_.amountField.pop_back();  // the field holds digits and points only
        }
        view_.amountSelected = false;
        return d;
    }
    if (view_.amountSelected) {
        view_.amountField = std::string(key);
    } else if (view_.amountField.size() < kAmountFieldLimit) {
        view_.amountField.append(key);
    } else {
        d.accepted = false;  // the field is full
    }
    view_.amountSelected = false;
    return d;
}

void AdvanceDialogModel::Deposit() {
    if (!open_ || view_.view != AdvanceView::kAdvance) {
        return;
    }
    const std::optional<Money> amount = ReadAmount(view_.amountField);
    Finish(amount && *amount > 0 ? *amount : 0);
}

void AdvanceDialogModel::Settle() {
    if (open_ && view_.settleEnabled) {
        Finish(kAdvanceSettle);
    }
}

void AdvanceDialogModel::SettleAndPrint() {
    if (open_ && view_.printEnabled) {
        Finish(kAdvanceSettleAndPrint);
    }
}

void AdvanceDialogModel::Unclaimed() {
    if (open_ && view_.unclaimedEnabled) {
        Finish(kAdvanceUnclaimed);
    }
}

std::optional<int> AdvanceDialogModel::TopUp() {
    if (!open_ || !view_.topUpEnabled) {
        return std::nullopt;
    }
    Finish(0);
    return panel_;
}

void AdvanceDialogModel::Close() {
    Finish(0);
}

void AdvanceDialogModel::Finish(int result) {
    if (!open_) {
        return;
    }
    result_ = result;
    open_ = false;
    // Ready for the next booth: the field enabled again.
    view_.amountEnabled = true;
}

}  // namespace miradel
