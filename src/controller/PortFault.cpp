#include "controller/PortFault.h"

namespace miradel {

namespace {

struct FaultWord {
    uint16_t bit;
    std::string_view word;
};

constexpr FaultWord kFaultWords[] = {
    {kPortFaultFraming, "Error ceFrame"},   {kPortFaultRxParity, "Error ceRxParity"},
    {kPortFaultOverrun, "Error ceOverrun"}, {kPortFaultBreak, "Error ceBreak"},
    {kPortFaultIo, "Error ceIO"},           {kPortFaultMode, "Error ceMode"},
    {kPortFaultRxOver, "Error ceRxOver"},   {kPortFaultTxFull, "Error ceTxFull"},
};

}  // namespace

std::string_view PortFaultWord(uint16_t faultBits) {
    for (const FaultWord& fault : kFaultWords) {
        if (faultBits & fault.bit) {
            return fault.word;
        }
    }
    return "Error hardware RS-232";
}

}  // namespace miradel
