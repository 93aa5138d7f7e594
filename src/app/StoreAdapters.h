#pragma once
// The booths' call table on the office's store: each billed call becomes an INFO row through
// the data module, with the operator asked to retry when the table refuses it.

#include "booths/BoothServices.h"
#include "store/TDMInfo.h"
#include "store/WriteRetry.h"

namespace miradel {

class StoreCallRecords final : public CallRecordStore {
  public:
    StoreCallRecords(TDMInfo& dm, WriteRetryServices retry) : dm_(dm), retry_(retry) {}
    bool WriteCallRecord(const BilledCall& billed) override;

  private:
    TDMInfo& dm_;
    WriteRetryServices retry_;
};

}  // namespace miradel
