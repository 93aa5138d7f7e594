#include "app/AdvanceDialogActions.h"

#include "booths/BoothEvents.h"
#include "cashdesk/AdvanceDialogModel.h"
#include "cashdesk/AdvanceRecords.h"

namespace miradel {

void AdvanceDialogActions::Apply(int panel, int32_t result) {
    if (panel < 0 || panel >= kBoothCount || !d_.booths[panel] || result == 0) {
        return;
    }
    Kabina& booth = *d_.booths[panel];
    const auto line = static_cast<uint8_t>(panel);
    if (result > 0) {
        booth.HandleEvent(kEventSwitchOn, result);
        d_.line.Queue({4, line});
        d_.line.Queue({3, line, 1});
        return;
    }
    if (result < kAdvanceUnclaimed) {
        return;  // not a result the dialog gives
    }
    // The turn as it stood when the dialog closed, before the booth is settled.
    const BoothSnapshot snapshot = booth.GetInfo();
    if (d_.config.Get(appcfg::kAdvanceLog)) {
        const auto flag = static_cast<int16_t>(AdvanceLogFlag(result, snapshot));
        WriteWithRetry(d_.retry, kStatusErrorAvans, [&] {
            return d_.dm.WriteAdvance(snapshot.receiptNumber, snapshot.advanceTaken, flag);
        });
    }
    booth.HandleEvent(result == kAdvanceSettleAndPrint ? kEventCloseWithReceipt : kEventClose, 0);
    d_.line.Queue({3, line, 0});
    if (result == kAdvanceUnclaimed) {
        WriteWithSilentRepeats(d_.retry, kStatusErrorReturn, [&] {
            return d_.dm.WriteUnclaimedBalance(snapshot.receiptNumber, snapshot.advanceLeft,
                                               snapshot.advanceTaken, snapshot.boothNumber);
        });
    }
}

}  // namespace miradel
