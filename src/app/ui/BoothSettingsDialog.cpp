#include "app/ui/BoothSettingsDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace miradel {

BoothSettingsDialog::BoothSettingsDialog(int panel, int16_t kind, int16_t boothNumber,
                                         int32_t aroundPanel, QWidget* parent)
    : QDialog(parent),
      aroundPanel_(aroundPanel),
      number_(new QLineEdit(this)),
      kinds_(new QComboBox(this)) {
    model_.Open(panel, kind, boothNumber);
    const BoothSettingsView& view = model_.View();
    setWindowTitle(QString::fromStdString(view.caption));
    for (const char* name : BoothKindNames()) {
        kinds_->addItem(QString::fromUtf8(name));
    }
    kinds_->setCurrentIndex(view.kindIndex);
    number_->setText(QString::fromStdString(view.numberText));
    number_->selectAll();

    auto* form = new QFormLayout(this);
    form->addRow(number_);
    form->addRow(kinds_);
    auto* buttons = new QHBoxLayout;
    auto* apply = new QPushButton("Применить", this);
    auto* cancel = new QPushButton("Отменить", this);
    apply->setDefault(true);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    form->addRow(buttons);
    connect(apply, &QPushButton::clicked, this, &BoothSettingsDialog::Apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    number_->setFocus();
}

void BoothSettingsDialog::Apply() {
    outcome_ = model_.Apply(number_->text().toStdString(), kinds_->currentIndex(), aroundPanel_);
    accept();
}

}  // namespace miradel
