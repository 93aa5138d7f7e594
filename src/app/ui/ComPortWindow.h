#pragma once
// The COM port window ("COM-port") over ComPortModel: for the booth controller, the fiscal
// register and the LCD/DTMF line a choice of COM1..COM8 and the device that port opens on this
// PC. Every rule is the model's; this class shows it and forwards the operator's input.
// "Применить" keeps the window open (a refused path is shown in it); "Закрыть" closes.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <array>
#include <filesystem>

#include "app/options/ComPortModel.h"

class QComboBox;
class QLineEdit;

namespace miradel {

class ComPortWindow : public QDialog {
    Q_OBJECT

  public:
    // `config` is the office's app.cfg image; `folder` the working folder holding ports.cfg.
    ComPortWindow(AppConfig& config, std::filesystem::path folder, QWidget* parent = nullptr);

    const ComPortModel& Model() const { return model_; }
    QComboBox* PortList(int choice) const;
    QLineEdit* DeviceEdit(int choice) const;
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CloseButton() const { return close_; }
    QLabel* Message() const { return message_; }

  private:
    void ShowModel();
    void Apply();

    ComPortModel model_;
    std::array<QComboBox*, ComPortModel::kChoiceCount> ports_{};
    std::array<QLineEdit*, ComPortModel::kChoiceCount> devices_{};
    QLabel* message_;
    QPushButton* apply_;
    QPushButton* close_;
};

}  // namespace miradel
