#pragma once
// The prefix table, base of the tariff engine: prefix.dat in file order, and number analysis.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "tariff/FirstMatchIndex.h"
#include "tariff/TariffEntries.h"
#include "tariff/TariffError.h"

namespace miradel {

// Digits of a number the prefix consumes: its text length, one less for a text that begins
// with '*' (so a lone "*" consumes none).
int32_t ConsumedDigits(const Prefx& prefix);

// The digits after those the prefix consumes; empty when the number is shorter than that.
std::string_view DigitsAfterPrefix(const Prefx& prefix, std::string_view digits);

class Prefix {
  public:
    Prefix(const Prefix&) = delete;
    Prefix& operator=(const Prefix&) = delete;

    // The first entry in file order whose text begins with '*' or equals the number's first
    // (text length) digits; none when no entry matches. Allocates nothing.
    const Prefx* FindPrefix(std::string_view digits) const;

    // 0 until a failure, then the code of the last one (TariffFailure).
    int32_t FailureCode() const { return failureCode_.load(std::memory_order_relaxed); }

    // The first failure of the loading, if any.
    const std::optional<TariffError>& LoadFailure() const { return loadFailure_; }

    const EntryList<Prefx>& Prefixes() const { return entries_; }
    const std::filesystem::path& Folder() const { return folder_; }

  protected:
    // Reads prefix.dat of the folder; a failure is kept in LoadFailure().
    explicit Prefix(const std::filesystem::path& folder);
    ~Prefix() = default;

    void Fail(TariffError error);
    void SetFailureCode(int32_t code) const { failureCode_.store(code, std::memory_order_relaxed); }

  private:
    std::filesystem::path folder_;
    EntryList<Prefx> entries_;
    FirstMatchIndex index_;
    // Lookups may set code 4 from any thread; the tables themselves never change.
    mutable std::atomic<int32_t> failureCode_{kTariffOk};
    std::optional<TariffError> loadFailure_;
};

}  // namespace miradel
