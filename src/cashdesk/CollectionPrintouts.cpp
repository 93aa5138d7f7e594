#include "cashdesk/CollectionPrintouts.h"

#include "common/DateText.h"
#include "common/SafeFormat.h"

namespace miradel {

namespace {

// The rows whose amounts the printouts list, after prefixes 8..12 or 18..22.
constexpr std::array<int, 5> kListedRows = {2, 3, 4, 5, 7};  // Факс, АПП, ЗС, Платежи, Итого

std::string Amount(const std::string& tmpl, Money value) {
    const long long v = value;
    return FormatTemplate(tmpl, {v / 100, v % 100});
}

std::string OperatorLine(const std::string& tmpl, int32_t number) {
    return FormatTemplate(tmpl, {static_cast<long long>(number)});
}

}  // namespace

std::vector<std::string> ReceiptPrinterCollection(const IncassTexts& t,
                                                  const CollectionFigures& f) {
    const std::string dateTime = FormatTemplate(t.Line(3), {DateText(f.now), TimeText(f.now)});
    std::vector<std::string> lines = {
        t.Line(1),
        f.organisation,
        OperatorLine(t.Line(2), f.operatorNumber),
        dateTime,
    };
    for (std::size_t i = 0; i < kListedRows.size(); ++i) {
        lines.push_back(t.Line(8 + i) + f.cells[kListedRows[i]]);
    }
    lines.push_back(Amount(t.Line(4), f.taken));
    lines.push_back(Amount(t.Line(5), f.left));
    lines.push_back(t.Line(25) + f.unclaimed);
    lines.push_back(t.Line(0));
    lines.insert(lines.end(), 3, "\r\n");
    // The cash-out printout, in the same job.
    lines.push_back(t.Line(6));
    lines.push_back(f.organisation);
    lines.push_back(OperatorLine(t.Line(2), f.operatorNumber));
    lines.push_back(dateTime);
    lines.push_back(Amount(t.Line(4), f.taken));
    lines.push_back(t.Line(7));
    lines.push_back(t.Line(0));
    return lines;
}

std::vector<CollectionPrintRecord> FiscalCollection(const IncassTexts& t,
                                                    const CollectionFigures& f, FiscalModel model,
                                                    const CollectionDocument& doc,
                                                    bool withAmounts) {
    std::vector<CollectionPrintRecord> records;
    const auto add = [&](int type, std::string text) {
        CollectionPrintRecord r;
        r.type = type;
        r.text = std::move(text);
        r.number = doc.number;
        records.push_back(std::move(r));
    };
    const auto text = [&](std::string line) { add(CollectionPrintRecord::kText, std::move(line)); };

    const bool m130 = model == FiscalModel::kMercury130F;
    if (m130) {
        text(t.Line(13));
    } else {
        add(CollectionPrintRecord::kOpenNonFiscal, t.Line(13));
    }
    text(t.Line(14));
    text(OperatorLine(t.Line(15), f.operatorNumber));
    text(FormatTemplate(t.Line(16), {DateText(f.now)}));
    text(FormatTemplate(t.Line(17), {TimeText(f.now)}));
    for (std::size_t i = 0; i < kListedRows.size(); ++i) {
        text(t.Line(18 + i) + f.cells[kListedRows[i]]);
    }
    if (withAmounts) {
        text(Amount(t.Line(23), f.taken));
        text(Amount(t.Line(24), f.left));
    }
    text(m130 && withAmounts ? " " : "  ");
    text(t.Line(25) + f.unclaimed);
    if (m130) {
        text(t.Line(13));
        for (int i = 0; i < 7; ++i) {
            text(" ");
        }
    } else {
        add(CollectionPrintRecord::kCloseNonFiscal, t.Line(13));
    }
    add(CollectionPrintRecord::kEndOfDocument, "");
    records.back().feedLines = doc.feedLines;
    records.back().feedAndCut = doc.feedAndCut;
    return records;
}

}  // namespace miradel
