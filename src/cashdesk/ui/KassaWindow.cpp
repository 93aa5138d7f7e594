#include "cashdesk/ui/KassaWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace miradel {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

KassaWindow::KassaWindow(KassaWindowModel& model, DeskReader desk, WallClock now,
                         CollectionPrinter& printer, OperatorPrompt& prompt, HelpHook help,
                         QWidget* parent)
    : QDialog(parent),
      model_(model),
      desk_(std::move(desk)),
      now_(std::move(now)),
      printer_(printer),
      prompt_(prompt),
      help_(std::move(help)),
      rows_(new QTableWidget(8, 2, this)),
      unclaimedLabel_(new QLabel(this)),
      unclaimedAmount_(new QLabel(this)),
      leaveLabel_(new QLabel(this)),
      amount_(new QLineEdit(this)),
      collect_(new QPushButton(this)),
      print_(new QPushButton(this)),
      close_(new QPushButton("Закрыть", this)) {
    setModal(true);
    rows_->horizontalHeader()->hide();
    rows_->verticalHeader()->hide();
    rows_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setSelectionMode(QAbstractItemView::NoSelection);
    rows_->setFocusPolicy(Qt::NoFocus);
    // The row texts are padded with blanks to line up their colons: a fixed-pitch font keeps
    // them so.
    rows_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rows_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_);
    auto* unclaimed = new QHBoxLayout;
    unclaimed->addWidget(unclaimedLabel_);
    unclaimed->addWidget(unclaimedAmount_);
    unclaimed->addStretch();
    layout->addLayout(unclaimed);
    auto* leave = new QHBoxLayout;
    leave->addWidget(leaveLabel_);
    leave->addWidget(amount_);
    leave->addWidget(collect_);
    layout->addLayout(leave);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    // Enter presses no button: a collection happens only by a click on "Инкассировать".
    for (QPushButton* b : {print_, close_, collect_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addWidget(print_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    connect(collect_, &QPushButton::clicked, this, &KassaWindow::Collect);
    connect(print_, &QPushButton::clicked, this, &KassaWindow::Print);
    connect(close_, &QPushButton::clicked, this, &KassaWindow::reject);
    ShowModel();
}

void KassaWindow::Open(KassaMode mode, Money unclaimedTotal) {
    model_.Open(mode, unclaimedTotal);
    ShowModel();
}

int KassaWindow::exec() {
    ShowModel();
    if (!model_.IsOpen()) {
        return model_.Result();
    }
    QDialog::exec();
    return model_.Result();
}

void KassaWindow::ShowModel() {
    const KassaWindowView& v = model_.View();
    setWindowTitle(FromUtf8(v.caption));
    for (int i = 0; i < static_cast<int>(v.rows.size()); ++i) {
        auto* label = new QTableWidgetItem(FromUtf8(v.rows[i].label));
        label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        rows_->setItem(i, 0, label);
        auto* amount = new QTableWidgetItem(FromUtf8(v.rows[i].amount));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rows_->setItem(i, 1, amount);
    }
    unclaimedLabel_->setText(FromUtf8(v.unclaimedLabel));
    unclaimedAmount_->setText(FromUtf8(v.unclaimedAmount));
    leaveLabel_->setText(FromUtf8(v.leaveLabel));
    amount_->setText(FromUtf8(v.amountField));
    collect_->setText(FromUtf8(v.collectButton));
    print_->setText(FromUtf8(v.printButton));
    leaveLabel_->setVisible(v.collectionControlsVisible);
    amount_->setVisible(v.collectionControlsVisible);
    collect_->setVisible(v.collectionControlsVisible);
    print_->setVisible(v.printVisible);
}

void KassaWindow::Collect() {
    if (busy_) {
        return;
    }
    // The receipt printer may take its time, and the window keeps its events running
    // meanwhile: nothing in it may book a second collection or close it under the first.
    busy_ = true;
    setEnabled(false);
    const CollectionOutcome outcome =
        model_.Collect(amount_->text().toStdString(), desk_ ? desk_() : DeskState{},
                       now_ ? now_() : LocalDateTime{}, printer_);
    setEnabled(true);
    busy_ = false;
    if (outcome.message) {
        prompt_.Ask(*outcome.message);
    }
    ShowModel();
    if (outcome.windowCloses) {
        Finish();
    }
}

void KassaWindow::Print() {
    if (busy_) {
        return;
    }
    busy_ = true;
    setEnabled(false);
    model_.PrintCashReport(desk_ ? desk_() : DeskState{}, now_ ? now_() : LocalDateTime{},
                           printer_);
    setEnabled(true);
    busy_ = false;
}

void KassaWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        if (help_) {
            help_(model_.View().helpTopic);
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void KassaWindow::reject() {
    if (busy_) {
        return;  // a printout is under way: the window closes after it
    }
    model_.Close();
    Finish();
}

void KassaWindow::Finish() {
    QDialog::done(model_.Result());
}

}  // namespace miradel
