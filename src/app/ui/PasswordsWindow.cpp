#include "app/ui/PasswordsWindow.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace miradel {

namespace {

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The grid's cell editor, reporting every keystroke: the row is being edited from the first
// key, as the operator sees it ("Сохранить" and "Отменить" come on at once). An editor opens
// only on the model's current row: a double click on another row whose move was refused
// must not leave an editor there.
class TypingDelegate final : public QStyledItemDelegate {
  public:
    using Typed = std::function<void(int row, int column, const QString& text)>;
    using MayEdit = std::function<bool(int row)>;
    TypingDelegate(Typed typed, MayEdit mayEdit, QObject* parent)
        : QStyledItemDelegate(parent), typed_(std::move(typed)), mayEdit_(std::move(mayEdit)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (!mayEdit_(index.row())) {
            return nullptr;
        }
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const int row = index.row();
            const int column = index.column();
            connect(line, &QLineEdit::textEdited, line,
                    [this, row, column](const QString& text) { typed_(row, column, text); });
        }
        return editor;
    }

  private:
    Typed typed_;
    MayEdit mayEdit_;
};

}  // namespace

PasswordsWindow::PasswordsWindow(PasswordRows& rows, OperatorPrompt& prompt, QWidget* parent)
    : QDialog(parent),
      model_(rows),
      prompt_(prompt),
      grid_(new QTableWidget(0, PasswordsModel::kColumnCount, this)),
      delete_(new QPushButton(kPasswordsDeleteText, this)),
      add_(new QPushButton(kPasswordsAddText, this)),
      save_(new QPushButton(kPasswordsSaveText, this)),
      cancel_(new QPushButton(kPasswordsCancelText, this)) {
    setWindowTitle(kPasswordsTitle);
    setModal(true);

    QStringList captions;
    for (int column = 0; column < PasswordsModel::kColumnCount; ++column) {
        captions << Q(PasswordsModel::ColumnCaption(column));
    }
    grid_->setHorizontalHeaderLabels(captions);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setMinimumSize(520, 240);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {delete_, add_, save_, cancel_}) {
        b->setAutoDefault(false);  // Enter belongs to the grid's editor
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    grid_->setItemDelegate(new TypingDelegate(
        [this](int row, int column, const QString& text) {
            const auto message = model_.EditCell(row, column, text.toStdString());
            if (message) {
                Tell(message);
            } else {
                ShowButtons();  // the cell under the editor is left to the editor
            }
        },
        [this](int row) { return model_.CanAdd() && row == model_.CurrentRow(); }, grid_));

    // The view commits an open editor before it reports the move to another row, so the
    // model hears the typed text first and then posts it on the move.
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        Tell(model_.EditCell(item->row(), item->column(), item->text().toStdString()));
    });
    connect(grid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { Tell(model_.SetCurrentRow(row)); });
    connect(delete_, &QPushButton::clicked, this, [this] {
        CloseOpenEditor(false);  // the row goes, and what was typed in it
        Tell(model_.Delete());
    });
    connect(add_, &QPushButton::clicked, this, [this] {
        CloseOpenEditor(true);
        Tell(model_.Add());
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        CloseOpenEditor(true);
        Tell(model_.Save());
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        CloseOpenEditor(false);  // what is typed in the cell goes with the edit
        model_.Cancel();
        ShowModel();
    });
    ShowModel();
}

void PasswordsWindow::done(int result) {
    model_.Close();
    QDialog::done(result);
}

void PasswordsWindow::Tell(const std::optional<PromptRequest>& message) {
    ShowModel();  // a refused move puts the edited row back in front of the operator
    if (message) {
        prompt_.Ask(*message);
    }
}

// A button pressed while a cell is being typed into takes the typed text first, as leaving
// the cell would; "Отменить" drops it.
void PasswordsWindow::CloseOpenEditor(bool commit) {
    if (QWidget* editor = grid_->indexWidget(grid_->currentIndex())) {
        QAbstractItemDelegate* delegate = grid_->itemDelegate();
        if (commit) {
            emit delegate->commitData(editor);
        }
        emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void PasswordsWindow::ShowModel() {
    const QSignalBlocker quiet(grid_);
    grid_->setRowCount(model_.RowCount());
    for (int row = 0; row < model_.RowCount(); ++row) {
        for (int column = 0; column < PasswordsModel::kColumnCount; ++column) {
            QTableWidgetItem* item = grid_->item(row, column);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                grid_->setItem(row, column, item);
            }
            const QString text = Q(model_.Cell(row, column));
            if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    const int current = model_.CurrentRow();
    if (current != grid_->currentRow()) {
        grid_->setCurrentCell(current, current < 0 ? -1 : std::max(grid_->currentColumn(), 0));
    }
    ShowButtons();
}

void PasswordsWindow::ShowButtons() {
    grid_->setEnabled(model_.CanAdd());
    delete_->setEnabled(model_.CanDelete());
    add_->setEnabled(model_.CanAdd());
    save_->setEnabled(model_.CanSave());
    cancel_->setEnabled(model_.CanCancel());
}

void ShowPasswordsWindow(PasswordRows& rows, OperatorPrompt& prompt, QWidget* parent) {
    PasswordsWindow window(rows, prompt, parent);
    if (const auto error = window.Model().OpenError()) {
        window.done(QDialog::Rejected);
        prompt.Ask(*error);
        return;
    }
    window.exec();
}

}  // namespace miradel
