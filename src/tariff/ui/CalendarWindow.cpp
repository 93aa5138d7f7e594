#include "tariff/ui/CalendarWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace miradel {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CalendarWindow::CalendarWindow(CalendarWindowModel& model, OperatorPrompt& prompt, QWidget* parent)
    : QDialog(parent),
      model_(model),
      prompt_(prompt),
      title_(new QLabel(this)),
      grid_(new QTableWidget(CalendarWindowModel::kRows, CalendarWindowModel::kColumns, this)) {
    setWindowTitle(Text(model_.Caption()));
    setModal(true);

    auto* previous = new QPushButton("<", this);
    auto* next = new QPushButton(">", this);
    for (QPushButton* b : {previous, next}) {
        b->setAutoDefault(false);
    }
    title_->setAlignment(Qt::AlignCenter);
    auto* header = new QHBoxLayout;
    header->addWidget(previous);
    header->addWidget(title_, 1);
    header->addWidget(next);

    QStringList weekdays;
    for (int column = 0; column < CalendarWindowModel::kColumns; ++column) {
        weekdays.append(Text(CalendarWindowModel::WeekdayName(column)));
    }
    grid_->setHorizontalHeaderLabels(weekdays);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setMinimumSize(320, 200);

    auto* boldNote = new QLabel(Text(model_.BoldNote()), this);
    auto* clickNote = new QLabel(Text(model_.ClickNote()), this);
    for (QLabel* note : {boldNote, clickNote}) {
        note->setWordWrap(true);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(grid_, 1);
    layout->addWidget(boldNote);
    layout->addWidget(clickNote);

    connect(previous, &QPushButton::clicked, this, [this] {
        model_.PreviousMonth();
        ShowModel();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        model_.NextMonth();
        ShowModel();
    });
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        model_.Select(row, column);
        ShowModel();
    });
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        const std::optional<PromptRequest> message = model_.DoubleClick(row, column);
        ShowModel();  // a failed write still shows the flipped day
        if (message) {
            prompt_.Ask(*message);
        }
    });
    ShowModel();
}

void CalendarWindow::ShowModel() {
    title_->setText(QString::fromStdString(model_.MonthTitle()));
    const CalendarWindowModel::Grid cells = model_.Cells();
    for (int row = 0; row < CalendarWindowModel::kRows; ++row) {
        for (int column = 0; column < CalendarWindowModel::kColumns; ++column) {
            const CalendarCell& cell = cells[row][column];
            QTableWidgetItem* item = grid_->item(row, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                grid_->setItem(row, column, item);
            }
            item->setText(cell.day == 0 ? QString() : QString::number(cell.day));
            QFont font = item->font();
            font.setBold(cell.bold);
            item->setFont(font);
            item->setBackground(cell.selected ? palette().highlight() : palette().base());
            item->setForeground(cell.selected ? palette().highlightedText() : palette().text());
        }
    }
}

}  // namespace miradel
