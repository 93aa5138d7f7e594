#include "printing/raw/BoothReceipts.h"

#include <fmt/format.h>

#include "common/DateText.h"

namespace miradel {

std::string ReceiptDateText(const LocalDateTime& t) {
    return DateText(t);
}
std::string ReceiptTimeText(const LocalDateTime& t) {
    return TimeText(t);
}
std::string ReceiptMoneyText(Money amount) {
    return MoneyReceiptText(amount);
}

std::string ReceiptDurationText(int32_t seconds) {
    const int32_t s = seconds < 0 ? 0 : seconds;
    return fmt::format("{}:{:02}:{:02}", s / 3600, s / 60 % 60, s % 60);
}

namespace {

// Collects the lines of one receipt, each composed and laid out in columns.
class ReceiptLines {
  public:
    ReceiptLines(const ReceiptTexts& texts, const ReceiptLayout& layout)
        : texts_(texts), layout_(layout) {}

    void Add(std::size_t text, std::vector<ValueAt> values = {}) {
        lines_.push_back(LayoutLine(ComposeLine(texts_.Text(text), values), layout_));
    }

    std::vector<std::string> Finish() {
        AppendFeedLines(lines_, layout_);
        return std::move(lines_);
    }

  private:
    const ReceiptTexts& texts_;
    const ReceiptLayout& layout_;
    std::vector<std::string> lines_;
};

std::string Number(int32_t value) {
    return fmt::format("{}", value);
}

}  // namespace

std::vector<std::string> ComposeSettlementReceipt(const ReceiptTexts& texts,
                                                  const SettlementReceipt& r,
                                                  const ReceiptLayout& layout) {
    ReceiptLines out(texts, layout);
    out.Add(0);
    out.Add(15);
    out.Add(16);
    out.Add(1, {{11, Number(r.receiptNumber)}, {18, Number(r.operatorNumber)}});
    out.Add(2);
    out.Add(11, {{9, ReceiptDateText(r.printedAt)}});
    out.Add(12, {{9, ReceiptTimeText(r.printedAt)}});
    out.Add(10);
    out.Add(13, {{12, Number(r.boothNumber)}});
    int ordinal = 1;
    for (const ReceiptCall& call : r.calls) {
        out.Add(3, {{10, fmt::format("{}.", ordinal++)}});
        out.Add(4, {{1, call.digits}});
        out.Add(5, {{14, ReceiptDurationText(call.duration)}});
        out.Add(6, {{14, ReceiptMoneyText(call.charge)}});
        out.Add(10);
    }
    out.Add(7, {{13, ReceiptMoneyText(r.advanceTaken)}});
    const int64_t spent = int64_t{r.advanceTaken} - r.advanceLeft;
    out.Add(14, {{13, ReceiptMoneyText(static_cast<Money>(spent))}});
    out.Add(8, {{13, ReceiptMoneyText(r.advanceLeft)}});
    out.Add(9);
    return out.Finish();
}

std::vector<std::string> ComposeAdvanceReceipt(const ReceiptTexts& texts, const AdvanceReceipt& r,
                                               AdvanceReceiptKind kind,
                                               const ReceiptLayout& layout) {
    ReceiptLines out(texts, layout);
    const ValueAt date{9, ReceiptDateText(r.printedAt)};
    const ValueAt receipt{12, Number(r.receiptNumber)};
    out.Add(17);
    if (kind == AdvanceReceiptKind::kAutomatic) {
        out.Add(25);
        out.Add(18);
        out.Add(19, {date});
        out.Add(22, {receipt});
    } else {
        out.Add(18);
        out.Add(22, {receipt});
        out.Add(19, {date});
    }
    out.Add(20, {{9, ReceiptTimeText(r.printedAt)}});
    out.Add(21, {{12, Number(r.operatorNumber)}});
    out.Add(23, {{12, Number(r.boothNumber)}});
    out.Add(24, {{13, ReceiptMoneyText(r.advanceTaken)}});
    out.Add(17);
    return out.Finish();
}

}  // namespace miradel
