#include "printing/FiscalProtocolViewer.h"

#include <fmt/format.h>

#include <charconv>

#include "common/DateText.h"

namespace miradel {

namespace {

bool Digits(std::string_view text, int& value) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

LocalDateTime AsDateTime(const FiscalDate& date) {
    LocalDateTime t;
    t.year = date.year;
    t.month = date.month;
    t.day = date.day;
    return t;
}

}  // namespace

std::optional<FiscalDate> ParseFieldDate(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    const auto dot1 = text.find('.');
    const auto dot2 = dot1 == std::string_view::npos ? dot1 : text.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view yearText = text.substr(dot2 + 1);
    if (!yearText.empty() && yearText.back() == '.') {
        yearText.remove_suffix(1);
    }
    FiscalDate date;
    if (!Digits(text.substr(0, dot1), date.day) ||
        !Digits(text.substr(dot1 + 1, dot2 - dot1 - 1), date.month) ||
        !Digits(yearText, date.year)) {
        return std::nullopt;
    }
    if (yearText.size() <= 2) {
        date.year += 2000;
    } else if (yearText.size() != 4) {
        return std::nullopt;
    }
    if (date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    return date;
}

std::string FieldDateText(const FiscalDate& date) {
    return fmt::format("{:02}.{:02}.{:02}", date.day, date.month, date.year % 100);
}

FiscalProtocolViewerModel::FiscalProtocolViewerModel(FiscalProtocolLog& log, const Clock& clock)
    : log_(log), clock_(clock) {}

void FiscalProtocolViewerModel::Open() {
    fromText_ = toText_ = FieldDateText(FiscalDateOf(clock_.Now()));
    Search();
}

std::string FiscalProtocolViewerModel::FilterText() const {
    return fmt::format("_DATE >= {} AND _DATE <= {}", fromText_, toText_);
}

bool FiscalProtocolViewerModel::Search() {
    const auto from = ParseFieldDate(fromText_);
    const auto to = ParseFieldDate(toText_);
    if (!from || !to) {
        return false;
    }
    rows_.clear();
    for (const FiscalProtocolRow& row : log_.Select(*from, *to)) {
        Row shown;
        shown.cells = {
            row.ticket ? std::to_string(*row.ticket) : std::string(),
            row.desr,
            miradel::DateText(row.when),
            TimeText(row.when),
            std::to_string(row.flag),
            row.exflag ? std::to_string(*row.exflag) : std::string(),
        };
        shown.red = row.flag != 0;
        rows_.push_back(std::move(shown));
    }
    return true;
}

FiscalProtocolPurgeModel::FiscalProtocolPurgeModel(FiscalProtocolLog& log, const Clock& clock,
                                                   OperatorLogSink& operatorLog)
    : table_(log), clock_(clock), operatorLog_(operatorLog) {}

void FiscalProtocolPurgeModel::Open() {
    dateText_ = FieldDateText(FiscalDateOf(clock_.Now()));
    status_ = kPurgeReady;
}

bool FiscalProtocolPurgeModel::Purge() {
    const auto limit = ParseFieldDate(dateText_);
    if (!limit) {
        return false;
    }
    status_ = kPurgeWait;
    dateText_ = miradel::DateText(AsDateTime(*limit));
    table_.Purge(*limit);
    status_ = kPurgeDone;
    operatorLog_.LogEvent(kLogEventProtocolPurge, {dateText_});
    return true;
}

bool FiscalProtocolPurgeModel::Pack() {
    const bool packed = table_.Pack();
    status_ = packed ? kPackDone : kPackFailed;
    operatorLog_.LogEvent(kLogEventProtocolPack, {dateText_});
    return packed;
}

}  // namespace miradel
