#pragma once
// The printer choice of "Setup Printer" over PrinterTargetModel: a list of the CUPS queues, a
// device file and a spool folder, with the path of the last two. OK hands back the settings
// to save; a missing path is shown in the dialog, which then stays open.
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "printing/raw/PrinterSetupModel.h"
#include "printing/raw/PrinterTargetModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace miradel {

class PrinterTargetDialog : public QDialog {
    Q_OBJECT

  public:
    PrinterTargetDialog(const PrinterConfig& current, const std::vector<std::string>& queues,
                        QWidget* parent = nullptr);

    // The settings chosen, once OK was accepted.
    const std::optional<PrinterConfig>& Chosen() const { return chosen_; }

    QComboBox* TargetList() const { return list_; }
    QLineEdit* DeviceEdit() const { return device_; }
    QLineEdit* SpoolEdit() const { return spool_; }
    QPushButton* OkButton() const { return ok_; }
    QLabel* Message() const { return message_; }

  private:
    void ShowModel();
    void Ok();

    PrinterTargetModel model_;
    std::optional<PrinterConfig> chosen_;
    QComboBox* list_;
    QLineEdit* device_;
    QLineEdit* spool_;
    QLabel* message_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace miradel
