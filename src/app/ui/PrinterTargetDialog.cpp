#include "app/ui/PrinterTargetDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace miradel {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

PrinterTargetDialog::PrinterTargetDialog(const PrinterConfig& current,
                                         const std::vector<std::string>& queues, QWidget* parent)
    : QDialog(parent),
      model_(current, queues),
      list_(new QComboBox(this)),
      device_(new QLineEdit(this)),
      spool_(new QLineEdit(this)),
      message_(new QLabel(this)),
      ok_(new QPushButton(kOkButtonText, this)),
      cancel_(new QPushButton(kCancelButtonText, this)) {
    setWindowTitle(kPrinterChoiceTitle);
    for (const PrinterTargetEntry& entry : model_.Entries()) {
        list_->addItem(Q(entry.text));
    }
    device_->setText(Q(model_.DevicePath()));
    device_->setPlaceholderText("/dev/usb/lp0");
    spool_->setText(Q(model_.SpoolFolder()));
    spool_->setPlaceholderText("receipts");
    message_->setStyleSheet("color: red");
    message_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(list_);
    form->addRow(new QLabel(kDeviceFileEntry, this), device_);
    form->addRow(new QLabel(kSpoolFolderEntry, this), spool_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(list_, &QComboBox::activated, this, [this](int entry) {
        model_.Choose(entry);
        ShowModel();
    });
    connect(device_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetDevicePath(text.toStdString()); });
    connect(spool_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetSpoolFolder(text.toStdString()); });
    connect(ok_, &QPushButton::clicked, this, &PrinterTargetDialog::Ok);
    connect(cancel_, &QPushButton::clicked, this, &PrinterTargetDialog::reject);
    ShowModel();
}

void PrinterTargetDialog::ShowModel() {
    const QSignalBlocker quiet(list_);
    list_->setCurrentIndex(model_.Chosen());
    device_->setEnabled(model_.DevicePathEnabled());
    spool_->setEnabled(model_.SpoolFolderEnabled());
}

void PrinterTargetDialog::Ok() {
    PrinterTargetResult result = model_.Result();
    message_->setText(Q(result.error));
    if (result.config) {
        chosen_ = std::move(result.config);
        accept();
    }
}

}  // namespace miradel
