#include "app/OperatorRegistration.h"

#include "app/config/AppConfigFields.h"
#include "printing/FiscalCommands.h"
#include "printing/FiscalFlags.h"
#include "printing/PrintQueue.h"

namespace miradel {

void RegisterOperatorAtRegister(AppConfig& config, PrintQueue& queue, FiscalFlags& flags,
                                int operatorNo) {
    if (config.Get(appcfg::kReceiptDevice) == kMercury114) {
        FiscalCommands(config, queue, flags).RegisterOperator(operatorNo);
    }
}

}  // namespace miradel
