#include "app/ui/PrinterSetupWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "app/ui/PrinterTargetDialog.h"
#include "printing/raw/CupsQueues.h"

namespace miradel {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The font the font dialog opens with: app.cfg keeps no family, so a fixed-pitch one of the
// system with the stored size and style.
QFont StoredFont(const PrinterFont& stored) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (stored.size > 0 && stored.size <= 1000) {
        font.setPointSize(stored.size);
    }
    font.setBold(stored.style & kFontBold);
    font.setItalic(stored.style & kFontItalic);
    font.setUnderline(stored.style & kFontUnderline);
    font.setStrikeOut(stored.style & kFontStrikeOut);
    return font;
}

}  // namespace

PrinterSetupWindow::PrinterSetupWindow(AppConfig& config, std::filesystem::path folder,
                                       QWidget* parent)
    : QDialog(parent),
      model_(config, std::move(folder)),
      columns_(new QComboBox(this)),
      distance_(new QLineEdit(this)),
      feed_(new QLineEdit(this)),
      printerText_(new QLabel(this)),
      message_(new QLabel(this)),
      font_(new QPushButton(kFontButtonText, this)),
      printer_(new QPushButton(kPrinterButtonText, this)),
      ok_(new QPushButton(kOkButtonText, this)),
      cancel_(new QPushButton(kCancelButtonText, this)) {
    setWindowTitle(kPrinterSetupTitle);
    for (const char* choice : kColumnChoices) {
        columns_->addItem(choice);
    }
    message_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(new QLabel(kColumnsCaption, this), columns_);
    form->addRow(new QLabel(kDistanceCaption, this), distance_);
    form->addRow(new QLabel(kFeedCaption, this), feed_);
    auto* choices = new QHBoxLayout;
    choices->addWidget(font_);
    choices->addWidget(printer_);
    choices->addWidget(printerText_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {font_, printer_, ok_, cancel_}) {
        b->setAutoDefault(false);
    }
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(choices);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(columns_, &QComboBox::activated, this, [this](int choice) {
        model_.SetColumns(choice);
        ShowModel();
    });
    connect(distance_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetDistanceText(text.toStdString()); });
    connect(feed_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetFeedText(text.toStdString()); });
    connect(font_, &QPushButton::clicked, this, &PrinterSetupWindow::ChooseFont);
    connect(printer_, &QPushButton::clicked, this, &PrinterSetupWindow::ChoosePrinter);
    connect(ok_, &QPushButton::clicked, this, &PrinterSetupWindow::Ok);
    connect(cancel_, &QPushButton::clicked, this, &PrinterSetupWindow::reject);

    std::string problems;
    for (const std::string& line : model_.PrinterProblems()) {
        problems += (problems.empty() ? "" : "\n") + line;
    }
    message_->setText(Q(problems));
    ShowModel();
}

void PrinterSetupWindow::ShowModel() {
    const QSignalBlocker quiet(columns_);
    columns_->setCurrentIndex(model_.Columns());
    for (auto [edit, text] :
         {std::pair{distance_, &model_.DistanceText()}, std::pair{feed_, &model_.FeedText()}}) {
        if (edit->text() != Q(*text)) {
            edit->setText(Q(*text));
        }
    }
    printerText_->setText(Q(DescribePrinterTarget(model_.Printer())));
}

void PrinterSetupWindow::ChooseFont() {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, StoredFont(model_.Font()), this,
                                            kFontButtonText, QFontDialog::MonospacedFonts);
    if (chosen) {
        ApplyChosenFont(font);
    }
}

void PrinterSetupWindow::ApplyChosenFont(const QFont& font) {
    FontChoice choice;
    choice.points = font.pointSizeF();
    choice.pixels = font.pixelSize();
    const QScreen* where = screen();
    choice.pixelsPerInch = where ? static_cast<int>(std::lround(where->logicalDotsPerInchY())) : 96;
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.underline = font.underline();
    choice.strikeOut = font.strikeOut();
    if (!model_.ApplyFont(MakePrinterFont(choice))) {
        reject();
    }
}

void PrinterSetupWindow::ChoosePrinter() {
    // The list is asked for when wanted; a CUPS server that is down answers at once and one
    // that hangs is given up after two seconds, leaving the device file and spool folder.
    PrinterTargetDialog dialog(model_.Printer(), ListCupsQueues(model_.Printer().server, 2000),
                               this);
    if (dialog.exec() == QDialog::Accepted && dialog.Chosen()) {
        ApplyPrinterChoice(*dialog.Chosen());
    }
}

void PrinterSetupWindow::ApplyPrinterChoice(const PrinterConfig& config) {
    const std::string error = model_.ApplyPrinter(config);
    message_->setStyleSheet(error.empty() ? "" : "color: red");
    message_->setText(Q(error));
    ShowModel();
}

void PrinterSetupWindow::Ok() {
    const PrinterSetupOk outcome = model_.Ok();
    ShowModel();
    if (outcome.CloseWindow()) {
        accept();
        return;
    }
    message_->setStyleSheet("color: red");
    message_->setText(Q(outcome.Report()));
}

}  // namespace miradel
