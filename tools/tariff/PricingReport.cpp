#include "PricingReport.h"

#include <fmt/format.h>

#include "common/Cp1251.h"
#include "common/Money.h"
#include "tariff/TariffFiles.h"
#include "tariff/YearFile.h"

namespace miradel::tariff_tool {

namespace {

// Position of an entry in its list, counted by walking it, as the engine holds no positions.
template <typename T>
std::size_t PositionOf(const EntryList<T>& list, const T* entry) {
    std::size_t position = 0;
    for (const T* e = list.Head(); e != nullptr && e != entry; e = e->next) {
        ++position;
    }
    return position;
}

std::string Quoted(std::string_view cp1251) {
    return "\"" + Cp1251ToUtf8(cp1251) + "\"";
}

void Line(std::string& text, std::string_view label, const std::string& value) {
    text += fmt::format("{:<10}{}\n", label, value);
}

}  // namespace

PricingReport DescribePricing(const TRFTOR& engine, const Clock& clock, std::string_view digits) {
    PricingReport report;
    std::string& out = report.text;
    Line(out, "number", fmt::format("{} ({} digits)", digits, digits.size()));

    const Prefx* prefix = engine.FindPrefix(digits);
    if (prefix == nullptr) {
        Line(out, "prefix", "none");
        out += "cannot be priced: no line of prefix.dat matches the number\n";
        return report;
    }
    const EntryList<Prefx>& prefixes = engine.Prefixes();
    Line(out, "prefix",
         fmt::format("{} ({} line {}): zone-file number {}, number length {}, analysis length {}",
                     Quoted(prefix->text), kPrefixFileName,
                     prefixes.LineOf(PositionOf(prefixes, prefix)), prefix->zoneFile,
                     prefix->numberLength, prefix->analysisLength));
    const std::string_view rest = DigitsAfterPrefix(*prefix, digits);
    const int32_t consumed = ConsumedDigits(*prefix);
    Line(out, "",
         fmt::format("takes {} digit{}; the code is looked up in \"{}\"", consumed,
                     consumed == 1 ? "" : "s", rest));
    if (static_cast<int32_t>(digits.size()) != prefix->numberLength) {
        Line(out, "note",
             fmt::format("the prefix gives numbers of {} digits, this one has {}",
                         prefix->numberLength, digits.size()));
    }
    if (prefix->analysisLength > prefix->numberLength) {
        Line(out, "note",
             fmt::format("analysis length {} is beyond number length {}: a booth "
                         "reaches the end of the number before pricing it",
                         prefix->analysisLength, prefix->numberLength));
    }

    const std::string codeFile = CodeFileName(prefix->zoneFile);
    const KZona* code = engine.FindCode(digits);
    if (code == nullptr) {
        Line(out, "code", "none");
        out += fmt::format("cannot be priced: no line of {} matches \"{}\"\n", codeFile, rest);
        return report;
    }
    const EntryList<KZona>& codes = engine.Codes(code->zoneFile);
    Line(out, "code",
         fmt::format("{} ({} line {}): zone {}, name {}", Quoted(code->code), codeFile,
                     codes.LineOf(PositionOf(codes, code)), code->zone, Quoted(code->name)));

    const std::string tariffFile = TariffFileName(code->zoneFile);
    const ZonaTarif* record = engine.FindTariff(code->zoneFile, code->zone);
    if (record == nullptr) {
        Line(out, "tariff", "none");
        out +=
            fmt::format("cannot be priced: {} has no record for zone {}\n", tariffFile, code->zone);
        return report;
    }
    const EntryList<ZonaTarif>& tariffs = engine.Tariffs(code->zoneFile);
    Line(out, "tariff",
         fmt::format("zone {} ({}, record from line {})", record->zone, tariffFile,
                     tariffs.LineOf(PositionOf(tariffs, record))));

    const LocalDateTime now = clock.Now();
    const char mark = engine.MarkOf(now.month, now.day);
    Line(out, "day",
         fmt::format("{:04}-{:02}-{:02}: mark {} ({} line {}, character {}), {}", now.year,
                     now.month, now.day, Quoted(std::string_view(&mark, 1)), kYearFileName,
                     now.month, now.day, mark == '0' ? "ordinary" : "preferential"));

    const int32_t price = engine.TariffNow(digits);
    Line(out, "price",
         fmt::format("{} per minute at {:02}:{:02} ({} hundredths)", MoneyReceiptText(price),
                     now.hour, now.minute, price));
    if (prefix->analysisLength > 0 &&
        static_cast<std::size_t>(prefix->analysisLength) < digits.size()) {
        // A booth prices as soon as the analysis length is dialled, with those digits only.
        const std::string_view dialled = digits.substr(0, prefix->analysisLength);
        const int32_t boothPrice = engine.TariffNow(dialled);
        if (boothPrice != price) {
            Line(out, "note",
                 fmt::format(
                     "a booth prices after {} digits \"{}\" and gets {}", dialled.size(), dialled,
                     boothPrice < 0 ? std::string("no price") : MoneyReceiptText(boothPrice)));
        }
    }
    report.priced = true;
    return report;
}

bool ParseMoment(std::string_view text, LocalDateTime& out) {
    // Positions of the digits in "YYYY-MM-DD HH:MM".
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':') {
        return false;
    }
    auto number = [&](std::size_t at, std::size_t length, int& value) {
        value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    LocalDateTime t;
    if (!number(0, 4, t.year) || !number(5, 2, t.month) || !number(8, 2, t.day) ||
        !number(11, 2, t.hour) || !number(14, 2, t.minute)) {
        return false;
    }
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59) {
        return false;
    }
    const int nextYear = t.month == 12 ? t.year + 1 : t.year;
    const int nextMonth = t.month == 12 ? 1 : t.month + 1;
    if (t.day > DaysFromCivil(nextYear, nextMonth, 1) - DaysFromCivil(t.year, t.month, 1)) {
        return false;
    }
    t.weekday = WeekdayOf(t.year, t.month, t.day);
    out = t;
    return true;
}

}  // namespace miradel::tariff_tool
