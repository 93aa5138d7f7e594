#pragma once
// The top-up dialog (" Доплата") over TopUpDialogModel: the amount the client adds to the
// booth's advance. Every rule is the model's; this class shows its texts, forwards the field's
// text and the keys, and shows the model's message. The main window hands the accepted amount
// to the booth's AddAdvance.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <functional>
#include <optional>

#include "cashdesk/TopUpDialogModel.h"
#include "common/OperatorPrompt.h"

namespace miradel {

class TopUpDialog : public QDialog {
    Q_OBJECT

  public:
    using HelpHook = std::function<void(int topic)>;  // may be empty: F1 does nothing

    TopUpDialog(TopUpDialogModel& model, OperatorPrompt& prompt, HelpHook help = {},
                QWidget* parent = nullptr);

    // Opens the model for the booth on `panel` (numbered `boothNumber` for the operator).
    void Open(int panel, int boothNumber);
    // Modal until closed; QDialog::Accepted when an amount was accepted. Without an open
    // model it returns at once.
    int exec() override;
    // The amount accepted at the last closing, in hundredths; none: nothing changes.
    std::optional<int32_t> Amount() const { return amount_; }

    QLabel* BoothLine() const { return boothLine_; }
    QLineEdit* AmountField() const { return field_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CancelButton() const { return cancel_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // "Отменить", Esc and the title bar's close

  private:
    void ShowModel();
    void Apply();

    TopUpDialogModel& model_;
    OperatorPrompt& prompt_;
    HelpHook help_;
    std::optional<int32_t> amount_;

    QLabel* boothLine_;
    QLabel* promptLabel_;
    QLineEdit* field_;
    QPushButton* apply_;
    QPushButton* cancel_;
};

}  // namespace miradel
