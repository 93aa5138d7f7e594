#include "cashdesk/ui/TopUpDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace miradel {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TopUpDialog::TopUpDialog(TopUpDialogModel& model, OperatorPrompt& prompt, HelpHook help,
                         QWidget* parent)
    : QDialog(parent),
      model_(model),
      prompt_(prompt),
      help_(std::move(help)),
      boothLine_(new QLabel(this)),
      promptLabel_(new QLabel(this)),
      field_(new QLineEdit(this)),
      apply_(new QPushButton("Применить", this)),
      cancel_(new QPushButton("Отменить", this)) {
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boothLine_);
    auto* amount = new QHBoxLayout;
    amount->addWidget(promptLabel_);
    amount->addWidget(field_);
    layout->addLayout(amount);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // Enter is the field's own key (below); no button takes it as a default button too.
    for (QPushButton* b : {apply_, cancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);

    connect(field_, &QLineEdit::returnPressed, this, &TopUpDialog::Apply);
    connect(apply_, &QPushButton::clicked, this, &TopUpDialog::Apply);
    connect(cancel_, &QPushButton::clicked, this, &TopUpDialog::reject);
    ShowModel();
}

void TopUpDialog::Open(int panel, int boothNumber) {
    amount_.reset();
    model_.Open(panel, boothNumber);
    ShowModel();
}

int TopUpDialog::exec() {
    ShowModel();
    if (!model_.IsOpen()) {
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void TopUpDialog::ShowModel() {
    const TopUpView& v = model_.View();
    setWindowTitle(FromUtf8(v.caption));
    boothLine_->setText(FromUtf8(v.boothLine));
    promptLabel_->setText(FromUtf8(v.prompt));
    field_->setText(FromUtf8(v.amountField));
    if (v.amountSelected) {
        field_->selectAll();
    }
    field_->setFocus();
}

void TopUpDialog::Apply() {
    if (!model_.IsOpen()) {
        return;  // a second Enter while the message box was up
    }
    const TopUpOutcome outcome = model_.Apply(field_->text().toStdString());
    amount_ = outcome.amount;
    if (outcome.message) {
        prompt_.Ask(*outcome.message);
    }
    ShowModel();
    QDialog::done(amount_ ? QDialog::Accepted : QDialog::Rejected);
}

void TopUpDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (help_) {
            help_(model_.View().helpTopic);
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TopUpDialog::reject() {
    if (model_.IsOpen()) {
        model_.Cancel();
        amount_.reset();
    }
    ShowModel();
    QDialog::done(QDialog::Rejected);
}

}  // namespace miradel
