#include "cashdesk/KassaWindowModel.h"

#include <fmt/format.h>

#include <algorithm>

#include "booths/BoothKinds.h"
#include "cashdesk/AmountText.h"
#include "cashdesk/Kassa.h"

namespace miradel {

bool BoothsAllowCollection(std::span<const BoothSnapshot> booths) {
    return std::all_of(booths.begin(), booths.end(), [](const BoothSnapshot& b) {
        return b.state == 0 || b.state == 1 || b.kind == kKindAround;
    });
}

PromptRequest ActiveBoothRefusal() {
    return {"Одна из кабин активна!", "Error Close", PromptButtons::Ok, PromptIcon::Warning};
}

KassaWindowModel::KassaWindowModel(KassaImage& kassa, AppConfig& config, IncassTexts texts,
                                   std::string organisation)
    : kassa_(kassa),
      config_(config),
      texts_(std::move(texts)),
      organisation_(std::move(organisation)) {}

void KassaWindowModel::Open(KassaMode mode, Money unclaimedTotal) {
    mode_ = mode;
    open_ = true;
    copy_ = kassa_.Copy();
    result_ = kKassaNotCollected;
    view_ = KassaWindowView{};
    for (int i = 0; i < 8; ++i) {
        view_.rows[i] = {std::string(kKassaRowLabels[i]), KassaAmountText(copy_.Get(i))};
    }
    view_.unclaimedAmount = KassaAmountText(unclaimedTotal);
    const bool collection = mode == KassaMode::kCollection;
    view_.collectionControlsVisible = collection;
    view_.printVisible = !collection;
    view_.helpTopic = collection ? 110 : 111;
}

int KassaWindowModel::Close() {
    if (open_ && mode_ == KassaMode::kView) {
        result_ = kKassaViewClosed;
    }
    open_ = false;
    return result_;
}

std::optional<FiscalModel> KassaWindowModel::FiscalTarget(const DeskState& desk) const {
    if (!desk.fiscalOnline || !config_.Get(appcfg::kReportsToFiscal)) {
        return std::nullopt;
    }
    switch (config_.Get(appcfg::kReceiptDevice)) {
        case 1:
            return FiscalModel::kMercury130F;
        case 2:
            return FiscalModel::kMercury1141F;
        default:
            return std::nullopt;  // no register is in use, whatever the worker flag says
    }
}

CollectionDocument KassaWindowModel::Document() const {
    return {config_.Get(appcfg::kNextBoothReceipt), config_.Get(appcfg::kFeedLines),
            config_.Get(appcfg::kFeedAndCut)};
}

CollectionFigures KassaWindowModel::Figures(Money taken, Money left,
                                            const LocalDateTime& now) const {
    CollectionFigures f;
    for (int i = 0; i < 8; ++i) {
        f.cells[i] = view_.rows[i].amount;
    }
    f.unclaimed = view_.unclaimedAmount;
    f.taken = taken;
    f.left = left;
    f.operatorNumber = config_.Get(appcfg::kOperatorOnDuty);
    f.now = now;
    f.organisation = organisation_;
    return f;
}

bool KassaWindowModel::PrintCashReport(const DeskState& desk, const LocalDateTime& now,
                                       CollectionPrinter& printer) {
    if (!open_ || mode_ != KassaMode::kView) {
        return false;
    }
    const std::optional<FiscalModel> model = FiscalTarget(desk);
    if (!model) {
        return false;
    }
    printer.QueueFiscal(FiscalCollection(texts_, Figures(0, 0, now), *model, Document(), false));
    return true;
}

CollectionOutcome KassaWindowModel::Collect(std::string_view amountText, const DeskState& desk,
                                            const LocalDateTime& now, CollectionPrinter& printer) {
    CollectionOutcome outcome;
    if (!open_ || mode_ != KassaMode::kCollection) {
        return outcome;
    }
    view_.amountField = std::string(amountText);
    const std::optional<Money> read = ReadAmount(amountText);
    const Money available = CollectableMoney(copy_);
    if (read && *read < 0) {
        outcome.kind = CollectionOutcome::kNegativeLeft;
        outcome.message = PromptRequest{"Сумма не может быть отрицательной!", "Error Input",
                                        PromptButtons::Ok, PromptIcon::Warning};
        outcome.windowCloses = true;
        open_ = false;
        return outcome;
    }
    // An amount too large for a counter is certainly more than the till holds.
    if (!read || *read > available) {
        outcome.kind = CollectionOutcome::kTooMuchLeft;
        outcome.message = PromptRequest{"Денег введено больше,чем заработанно!", "Error Input",
                                        PromptButtons::Ok, PromptIcon::Warning};
        outcome.windowCloses = true;
        open_ = false;
        return outcome;
    }
    const Money left = *read;
    const Money taken = available - left;
    const CollectionFigures figures = Figures(taken, left, now);

    if (const std::optional<FiscalModel> model = FiscalTarget(desk)) {
        printer.QueueFiscal(FiscalCollection(texts_, figures, *model, Document(), true));
    } else if (!printer.PrintOnReceiptPrinter(ReceiptPrinterCollection(texts_, figures),
                                              outcome.printError) &&
               !desk.administrator) {
        outcome.kind = CollectionOutcome::kPrintFailed;
        outcome.message =
            PromptRequest{"Инкассация не произведена!!! Проверьте печать!",
                          "Ошибка печати инкассации", PromptButtons::Ok, PromptIcon::Warning};
        return outcome;
    }

    const Kassa::Booking booking = Kassa(kassa_).BookCollection(left);
    lastTaken_ = booking.taken;
    lastLeft_ = left;
    const int32_t next = config_.Get(appcfg::kNextBoothReceipt);
    lastReceipt_ = next - 1;
    config_.Set(appcfg::kLastCollectedReceipt, std::max<int32_t>(next - 1, 1));

    result_ = kKassaCollected;
    open_ = false;
    outcome.kind = CollectionOutcome::kBooked;
    outcome.windowCloses = true;
    return outcome;
}

std::vector<std::string> KassaWindowModel::OperatorLogValues() const {
    return {fmt::format("{}", lastReceipt_), KassaAmountText(lastTaken_),
            KassaAmountText(lastLeft_)};
}

}  // namespace miradel
