#pragma once
// What the office does with the advance dialog's result, the same whether the dialog was
// opened by a panel click or by booth number: the booth event, the controller commands, the
// advance log row and the unclaimed-balance row. One engine operation per result.

#include "app/BoothWiring.h"
#include "app/config/AppConfig.h"
#include "store/TDMInfo.h"
#include "store/WriteRetry.h"

namespace miradel {

class AdvanceDialogActions {
  public:
    struct Dependencies {
        BoothArray& booths;
        ControllerLine& line;
        TDMInfo& dm;
        WriteRetryServices retry;
        AppConfig& config;
    };

    explicit AdvanceDialogActions(Dependencies deps) : d_(deps) {}

    // result > 0: an advance in hundredths; 0: nothing; -1 settle, -2 settle and print,
    // -3 settle with the rest unclaimed. Runs on the engine thread.
    void Apply(int panel, int32_t result);

  private:
    Dependencies d_;
};

}  // namespace miradel
