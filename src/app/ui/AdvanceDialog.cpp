#include "app/ui/AdvanceDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QVBoxLayout>

namespace miradel {

AdvanceDialog::AdvanceDialog(const BoothSnapshot& booth, QWidget* parent)
    : QDialog(parent),
      calls_(new QLabel(this)),
      moneyCaption_(new QLabel(this)),
      depositLine_(new QLabel(this)),
      toPay_(new QLabel(this)),
      dialled_(new QLabel(this)),
      amount_(new QLineEdit(this)),
      deposit_(new QPushButton("Внести", this)),
      settle_(new QPushButton("Расчитать", this)),
      print_(new QPushButton("Печать", this)),
      unclaimed_(new QPushButton("Невостребованно", this)),
      topUp_(new QPushButton("Доплата", this)),
      close_(new QPushButton("Закрыть", this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calls_);
    auto* money = new QHBoxLayout;
    money->addWidget(moneyCaption_);
    money->addWidget(amount_);
    layout->addLayout(money);
    layout->addWidget(depositLine_);
    layout->addWidget(toPay_);
    layout->addWidget(dialled_);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {deposit_, settle_, print_, topUp_, unclaimed_, close_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    amount_->installEventFilter(this);

    connect(deposit_, &QPushButton::clicked, this, [this] {
        model_.Deposit();
        CloseIfDone();
    });
    connect(settle_, &QPushButton::clicked, this, [this] {
        model_.Settle();
        CloseIfDone();
    });
    connect(print_, &QPushButton::clicked, this, [this] {
        model_.SettleAndPrint();
        CloseIfDone();
    });
    connect(unclaimed_, &QPushButton::clicked, this, [this] {
        model_.Unclaimed();
        CloseIfDone();
    });
    connect(topUp_, &QPushButton::clicked, this, [this] {
        topUpPanel_ = model_.TopUp();
        CloseIfDone();
    });
    connect(close_, &QPushButton::clicked, this, &AdvanceDialog::reject);

    model_.Open(booth);
    ShowModel();
}

void AdvanceDialog::TypeKey(const QString& key) {
    const KeyDecision decision = model_.TypeKey(key.toStdString());
    if (decision.message) {
        QMessageBox::warning(this, QString::fromStdString(decision.message->caption),
                             QString::fromStdString(decision.message->text));
    }
    ShowModel();
    CloseIfDone();
}

void AdvanceDialog::AppendDigit(char digit) {
    model_.AppendDigit(std::string_view(&digit, 1));
    ShowModel();
}

void AdvanceDialog::RefreshFrom(const BoothSnapshot& booth) {
    model_.Refresh(booth);
    ShowModel();
}

void AdvanceDialog::CloseByBooth() {
    model_.CloseByBooth();
    CloseIfDone();
}

void AdvanceDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && help_) {
        help_(model_.View().helpTopic);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool AdvanceDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == amount_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace) {
            TypeKey(QString::fromUtf8(kKeyBackspace.data(), int(kKeyBackspace.size())));
        } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            TypeKey(QString::fromUtf8(kKeyEnter.data(), int(kKeyEnter.size())));
        } else if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_F1) {
            return false;
        } else if (!key->text().isEmpty()) {
            TypeKey(key->text());
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AdvanceDialog::reject() {
    if (model_.IsOpen()) {
        model_.Close();
    }
    QDialog::reject();
}

void AdvanceDialog::ShowModel() {
    const AdvanceDialogView& v = model_.View();
    setWindowTitle(QString::fromStdString(v.caption));
    calls_->setText(QString::fromStdString(v.callsLine));
    moneyCaption_->setText(QString::fromStdString(v.moneyCaption));
    depositLine_->setText(QString::fromStdString(v.depositLine));
    toPay_->setText(QString::fromStdString(v.toPayLine));
    dialled_->setText(QString::fromStdString(v.dialledLine));
    amount_->setText(QString::fromStdString(v.amountField));
    amount_->setEnabled(v.amountEnabled);
    if (v.amountSelected) {
        amount_->selectAll();
    }
    const bool advance = v.view == AdvanceView::kAdvance;
    deposit_->setVisible(advance);
    deposit_->setEnabled(v.depositEnabled);
    for (QPushButton* b : {settle_, print_, topUp_, unclaimed_}) {
        b->setVisible(!advance);
    }
    topUp_->setEnabled(v.topUpEnabled);
    settle_->setEnabled(v.settleEnabled);
    print_->setEnabled(v.printEnabled);
    unclaimed_->setEnabled(v.unclaimedEnabled);
}

void AdvanceDialog::CloseIfDone() {
    if (!model_.IsOpen()) {
        accept();
    }
}

}  // namespace miradel
