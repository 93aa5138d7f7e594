#include "printing/FiscalProtocolLog.h"

#include <algorithm>
#include <tuple>

namespace miradel {

namespace {

auto OrderKey(const FiscalProtocolRow& row) {
    const LocalDateTime& t = row.when;
    return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, row.autoId);
}

}  // namespace

bool MemoryFiscalProtocolLog::Append(const FiscalProtocolRow& row) {
    std::lock_guard lock(mutex_);
    if (refuse_) {
        return false;
    }
    FiscalProtocolRow stored = row;
    stored.autoId = nextAuto_++;
    rows_.push_back(std::move(stored));
    return true;
}

std::vector<FiscalProtocolRow> MemoryFiscalProtocolLog::Select(const FiscalDate& from,
                                                               const FiscalDate& to) {
    std::lock_guard lock(mutex_);
    std::vector<FiscalProtocolRow> selected;
    for (const FiscalProtocolRow& row : rows_) {
        const FiscalDate date = FiscalDateOf(row.when);
        if (date >= from && date <= to) {
            selected.push_back(row);
        }
    }
    std::stable_sort(selected.begin(), selected.end(),
                     [](const auto& a, const auto& b) { return OrderKey(a) < OrderKey(b); });
    return selected;
}

int MemoryFiscalProtocolLog::Purge(const FiscalDate& upTo) {
    std::lock_guard lock(mutex_);
    const auto removed = std::erase_if(
        rows_, [&](const FiscalProtocolRow& row) { return FiscalDateOf(row.when) <= upTo; });
    return static_cast<int>(removed);
}

bool MemoryFiscalProtocolLog::Pack() {
    std::lock_guard lock(mutex_);
    ++packs_;
    return true;
}

std::vector<FiscalProtocolRow> MemoryFiscalProtocolLog::Rows() const {
    std::lock_guard lock(mutex_);
    return rows_;
}

int MemoryFiscalProtocolLog::Packs() const {
    std::lock_guard lock(mutex_);
    return packs_;
}

void MemoryFiscalProtocolLog::RefuseWrites(bool refuse) {
    std::lock_guard lock(mutex_);
    refuse_ = refuse;
}

}  // namespace miradel
