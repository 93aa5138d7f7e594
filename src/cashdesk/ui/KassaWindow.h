#pragma once
// The cash window ("  Касса") over KassaWindowModel: the till's counters, and in collection
// mode the amount to leave in the till with "Инкассировать". Every rule is the model's; this
// class shows the model's view, forwards the buttons and shows the model's messages.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <functional>

#include "cashdesk/KassaWindowModel.h"
#include "common/Clock.h"
#include "common/OperatorPrompt.h"

namespace miradel {

class KassaWindow : public QDialog {
    Q_OBJECT

  public:
    // Read when a button is pressed, so that a login or a fiscal worker going on or off
    // between two openings is seen.
    using DeskReader = std::function<DeskState()>;
    using WallClock = std::function<LocalDateTime()>;
    using HelpHook = std::function<void(int topic)>;  // may be empty: F1 does nothing

    KassaWindow(KassaWindowModel& model, DeskReader desk, WallClock now, CollectionPrinter& printer,
                OperatorPrompt& prompt, HelpHook help = {}, QWidget* parent = nullptr);

    // Opens the model in `mode` and shows its view; exec() then shows the window.
    void Open(KassaMode mode, Money unclaimedTotal);
    // Modal until closed; the model's result (0, 1 or 2). Without an open model it returns
    // at once.
    int exec() override;

    QTableWidget* Rows() const { return rows_; }
    QLabel* UnclaimedAmount() const { return unclaimedAmount_; }
    QLineEdit* AmountField() const { return amount_; }
    QPushButton* CollectButton() const { return collect_; }
    QPushButton* PrintButton() const { return print_; }
    QPushButton* CloseButton() const { return close_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;  // "Закрыть", Esc and the title bar's close

  private:
    void ShowModel();
    void Collect();
    void Print();
    void Finish();

    KassaWindowModel& model_;
    DeskReader desk_;
    WallClock now_;
    CollectionPrinter& printer_;
    OperatorPrompt& prompt_;
    HelpHook help_;

    QTableWidget* rows_;
    QLabel* unclaimedLabel_;
    QLabel* unclaimedAmount_;
    QLabel* leaveLabel_;
    QLineEdit* amount_;
    QPushButton* collect_;
    QPushButton* print_;
    QPushButton* close_;
    bool busy_ = false;  // a collection or a printout is under way
};

}  // namespace miradel
