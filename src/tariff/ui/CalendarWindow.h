#pragma once
// The holiday calendar window ("Календарь") over CalendarWindowModel: the month grid with the
// preferential days in bold, the month buttons and the two notes. A double click on a day is
// the model's; the window only shows the message box the model asks for and redraws.
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include "common/OperatorPrompt.h"
#include "tariff/CalendarWindowModel.h"

namespace miradel {

class CalendarWindow : public QDialog {
    Q_OBJECT

  public:
    // Shown with exec(): the calendar is modal.
    CalendarWindow(CalendarWindowModel& model, OperatorPrompt& prompt, QWidget* parent = nullptr);

    QTableWidget* Grid() const { return grid_; }

  private:
    void ShowModel();

    CalendarWindowModel& model_;
    OperatorPrompt& prompt_;
    QLabel* title_;
    QTableWidget* grid_;
};

}  // namespace miradel
