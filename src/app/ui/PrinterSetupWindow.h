#pragma once
// The printer setup window ("Setup Printer") over PrinterSetupModel: "Колонки", "Дистанция - "
// and "Протяжка - ", the font choice ("Font's"), the printer choice ("Printer"), "OK" and
// "Cancel". Every rule is the model's; this class shows it and forwards the operator's input.
#include <QDialog>
#include <QFont>
#include <filesystem>

#include "printing/raw/PrinterSetupModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace miradel {

class PrinterSetupWindow : public QDialog {
    Q_OBJECT

  public:
    // `config` is the office's app.cfg image; `folder` the working folder holding app.cfg and
    // printer.cfg.
    PrinterSetupWindow(AppConfig& config, std::filesystem::path folder, QWidget* parent = nullptr);

    const PrinterSetupModel& Model() const { return model_; }
    QComboBox* ColumnsList() const { return columns_; }
    QLineEdit* DistanceEdit() const { return distance_; }
    QLineEdit* FeedEdit() const { return feed_; }
    QPushButton* FontButton() const { return font_; }
    QPushButton* PrinterButton() const { return printer_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QLabel* PrinterText() const { return printerText_; }
    QLabel* Message() const { return message_; }

    // What "Font's" does with the font the operator picked: app.cfg gets it at once. When
    // app.cfg cannot be opened the window closes without a word.
    void ApplyChosenFont(const QFont& font);
    // What "Printer" does with the settings picked in the printer choice.
    void ApplyPrinterChoice(const PrinterConfig& config);

  private:
    void ShowModel();
    void ChooseFont();
    void ChoosePrinter();
    void Ok();

    PrinterSetupModel model_;
    QComboBox* columns_;
    QLineEdit* distance_;
    QLineEdit* feed_;
    QLabel* printerText_;
    QLabel* message_;
    QPushButton* font_;
    QPushButton* printer_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace miradel
