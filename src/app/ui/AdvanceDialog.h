#pragma once
// The advance dialog's widgets over AdvanceDialogModel: the amount field and "Внести" for an
// idle booth; "Расчитать", "Печать" and "Невостребованно" for a booth holding an advance.
// Every rule is the model's; this class only shows the model's view and forwards the keys.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <optional>

#include "cashdesk/AdvanceDialogModel.h"

namespace miradel {

class AdvanceDialog : public QDialog {
    Q_OBJECT

  public:
    AdvanceDialog(const BoothSnapshot& booth, QWidget* parent = nullptr);

    // The model's result once the dialog has closed (an advance, 0 or a settlement code).
    int Result() const { return model_.Result(); }
    // "Доплата" closed the dialog: the panel whose top-up dialog opens next.
    std::optional<int> TopUpPanel() const { return topUpPanel_; }

    // What the booth tells its open dialog (window thread).
    void AppendDigit(char digit);
    void RefreshFrom(const BoothSnapshot& booth);
    void CloseByBooth();
    // F1 in the dialog opens this help topic.
    void SetHelp(std::function<void(int topic)> help) { help_ = std::move(help); }
    const AdvanceDialogModel& Model() const { return model_; }

    // A key typed into the amount field, as the field's key handler passes it on.
    void TypeKey(const QString& key);
    QPushButton* DepositButton() const { return deposit_; }
    QPushButton* SettleButton() const { return settle_; }
    QPushButton* PrintButton() const { return print_; }
    QPushButton* UnclaimedButton() const { return unclaimed_; }
    QPushButton* TopUpButton() const { return topUp_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowModel();
    void CloseIfDone();

    AdvanceDialogModel model_;
    QLabel* calls_;
    QLabel* moneyCaption_;
    QLabel* depositLine_;
    QLabel* toPay_;
    QLabel* dialled_;
    QLineEdit* amount_;
    QPushButton* deposit_;
    QPushButton* settle_;
    QPushButton* print_;
    QPushButton* unclaimed_;
    QPushButton* topUp_;
    QPushButton* close_;
    std::optional<int> topUpPanel_;
    std::function<void(int)> help_;
};

}  // namespace miradel
