#pragma once
// The booths' call table on the office's store: each billed call becomes an INFO row through
// the data module, with the operator asked to retry when the table refuses it.

#include "booths/BoothServices.h"
#include "store/TDMInfo.h"
#include "store/WriteRetry.h"

namespace miradel {

// The sum of the open unclaimed balances (RETSUMMA rows with FLAG 0) for the cash window; a
// table that cannot be read counts as none, the window shows the till all the same.
Money OpenUnclaimedTotal(TDMInfo& dm);

class StoreCallRecords final : public CallRecordStore {
  public:
    StoreCallRecords(TDMInfo& dm, WriteRetryServices retry) : dm_(dm), retry_(retry) {}
    bool WriteCallRecord(const BilledCall& billed) override;

  private:
    TDMInfo& dm_;
    WriteRetryServices retry_;
};

}  // namespace miradel

#include "printing/FiscalProtocolLog.h"

namespace miradel {

// The fiscal protocol on the FPRINT table: the worker appends through the worker connection's
// table object, the viewer and the purge use the main connection's. A refused or failed row
// is dropped (the worker goes on), never asked about: nobody waits at the register's side.
class StoreFiscalProtocol final : public FiscalProtocolLog {
  public:
    explicit StoreFiscalProtocol(TDMInfo& dm) : dm_(dm) {}

    bool Append(const FiscalProtocolRow& row) override;
    std::vector<FiscalProtocolRow> Select(const FiscalDate& from, const FiscalDate& to) override;
    int Purge(const FiscalDate& upTo) override;
    bool Pack() override;

  private:
    TDMInfo& dm_;
};

}  // namespace miradel
