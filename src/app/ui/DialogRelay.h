#pragma once
// The booths' side of the open advance dialog: the engine thread tells it a dialled digit, a
// refresh or a close, and the relay hands each to the dialog on the window thread (queued;
// the engine never waits). Only one advance dialog is open at a time.
#include <QObject>
#include <QPointer>

#include "app/ui/AdvanceDialog.h"
#include "booths/BoothServices.h"

namespace miradel {

class DialogRelay final : public QObject, public AdvanceDialogLink {
    Q_OBJECT

  public:
    // Window thread: the dialog now shown, or nullptr once it has closed.
    void Attach(AdvanceDialog* dialog) { dialog_ = dialog; }

    // Engine thread.
    void AppendDigit(char digit) override;
    void Refresh(const BoothSnapshot& booth) override;
    void Close() override;

  private:
    QPointer<AdvanceDialog> dialog_;
};

}  // namespace miradel
