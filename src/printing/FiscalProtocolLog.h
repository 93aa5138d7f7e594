#pragma once
// The fiscal protocol table FPRINT: one row per logged register event. The worker appends
// through the store's worker connection; the protocol viewer selects and purges through the
// main one. The store supplies the real table behind this interface; MemoryFiscalProtocolLog
// stands in for it in tests and in an office run without a store.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/Clock.h"

namespace miradel {

struct FiscalDate {
    int year = 2000;
    int month = 1;
    int day = 1;

    friend auto operator<=>(const FiscalDate&, const FiscalDate&) = default;
};

inline FiscalDate FiscalDateOf(const LocalDateTime& t) {
    return {t.year, t.month, t.day};
}

struct FiscalProtocolRow {
    int64_t autoId = 0;             // AUTO, given by the table
    std::optional<int32_t> ticket;  // TICKET; empty when the worker had no record
    int16_t flag = 0;               // FLAG, result code
    std::string desr;               // DESR, UTF-8 (a few component texts are 21 characters)
    LocalDateTime when;             // _DATE and _TIME
    std::optional<int16_t> exflag;  // EXFLAG, 114.1Ф only
};

class FiscalProtocolLog {
  public:
    virtual ~FiscalProtocolLog() = default;
    // Worker thread. False when the table refused the row; the worker goes on without it.
    virtual bool Append(const FiscalProtocolRow& row) = 0;
    // Main thread: rows with from <= _DATE <= to, in date, time and AUTO order (FP_DATE).
    virtual std::vector<FiscalProtocolRow> Select(const FiscalDate& from, const FiscalDate& to) = 0;
    // Main thread: removes the rows dated up to and including the day; returns how many.
    virtual int Purge(const FiscalDate& upTo) = 0;
    // Main thread: gives the space of removed rows back.
    virtual bool Pack() = 0;
};

class MemoryFiscalProtocolLog final : public FiscalProtocolLog {
  public:
    bool Append(const FiscalProtocolRow& row) override;
    std::vector<FiscalProtocolRow> Select(const FiscalDate& from, const FiscalDate& to) override;
    int Purge(const FiscalDate& upTo) override;
    bool Pack() override;

    std::vector<FiscalProtocolRow> Rows() const;
    int Packs() const;
    void RefuseWrites(bool refuse);

  private:
    mutable std::mutex mutex_;
    std::vector<FiscalProtocolRow> rows_;
    int64_t nextAuto_ = 1;
    int packs_ = 0;
    bool refuse_ = false;
};

}  // namespace miradel
