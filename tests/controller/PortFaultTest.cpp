#include "controller/PortFault.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

TEST(PortFault, WordOfFirstSetBitInListedOrder) {
    const struct {
        uint16_t bits;
        const char* word;
    } cases[] = {
        {0, "Error hardware RS-232"},
        {0x100, "Error hardware RS-232"},
        {kPortFaultFraming | kPortFaultTxFull, "Error ceFrame"},
        {kPortFaultRxParity | kPortFaultBreak, "Error ceRxParity"},
        {kPortFaultOverrun | kPortFaultMode, "Error ceOverrun"},
        {kPortFaultBreak | kPortFaultIo, "Error ceBreak"},
        {kPortFaultIo | kPortFaultRxOver, "Error ceIO"},
        {kPortFaultMode, "Error ceMode"},
        {kPortFaultRxOver | kPortFaultTxFull, "Error ceRxOver"},
        {kPortFaultTxFull, "Error ceTxFull"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortFaultWord(c.bits), c.word) << c.bits;
    }
}

}  // namespace
}  // namespace miradel
