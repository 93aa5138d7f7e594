#include "app/ui/DialogRelay.h"

namespace miradel {

void DialogRelay::AppendDigit(char digit) {
    QMetaObject::invokeMethod(
        this,
        [this, digit] {
            if (dialog_) {
                dialog_->AppendDigit(digit);
            }
        },
        Qt::QueuedConnection);
}

void DialogRelay::Refresh(const BoothSnapshot& booth) {
    QMetaObject::invokeMethod(
        this,
        [this, booth] {
            if (dialog_) {
                dialog_->RefreshFrom(booth);
            }
        },
        Qt::QueuedConnection);
}

void DialogRelay::Close() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (dialog_) {
                dialog_->CloseByBooth();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace miradel
