#pragma once
// "Кабина 1" … "Кабина 16": the booth's physical number (selected, ready to be overtyped) and
// its kind, over BoothSettingsModel. "Применить" hands the model's outcome back; "Отменить"
// and Esc change nothing.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <optional>

#include "app/BoothCommands.h"

namespace miradel {

class BoothSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // `aroundPanel`: the dial-around record now (app.cfg), -1 none.
    BoothSettingsDialog(int panel, int16_t kind, int16_t boothNumber, int32_t aroundPanel,
                        QWidget* parent = nullptr);

    // Set once "Применить" was pressed.
    const std::optional<BoothSettingsOutcome>& Outcome() const { return outcome_; }

    QLineEdit* NumberEdit() const { return number_; }
    QComboBox* KindList() const { return kinds_; }
    void Apply();

  private:
    BoothSettingsModel model_;
    int32_t aroundPanel_;
    QLineEdit* number_;
    QComboBox* kinds_;
    std::optional<BoothSettingsOutcome> outcome_;
};

}  // namespace miradel
