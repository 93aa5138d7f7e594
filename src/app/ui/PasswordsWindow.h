#pragma once
// The passwords window ("Setup Password") over PasswordsModel: the operator table in a grid
// edited in place, and "Удалить", "Добавить", "Сохранить", "Отменить". Every rule is the
// model's; this class shows it, forwards the operator's typing and row moves, and shows the
// model's messages through the prompt.
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

#include "app/PasswordsModel.h"
#include "common/OperatorPrompt.h"

namespace miradel {

class PasswordsWindow : public QDialog {
    Q_OBJECT

  public:
    // Reads the rows at once; `rows` must outlive the window. Closing the window closes the
    // table (a pending edit is dropped).
    PasswordsWindow(PasswordRows& rows, OperatorPrompt& prompt, QWidget* parent = nullptr);

    const PasswordsModel& Model() const { return model_; }
    QTableWidget* Grid() const { return grid_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }

    void done(int result) override;

  private:
    void ShowModel();
    void ShowButtons();
    void CloseOpenEditor(bool commit);
    void Tell(const std::optional<PromptRequest>& message);

    PasswordsModel model_;
    OperatorPrompt& prompt_;
    QTableWidget* grid_;
    QPushButton* delete_;
    QPushButton* add_;
    QPushButton* save_;
    QPushButton* cancel_;
};

// "Паспорт": shows the window modally. A table that cannot be read is told through the prompt
// and no window opens.
void ShowPasswordsWindow(PasswordRows& rows, OperatorPrompt& prompt, QWidget* parent = nullptr);

}  // namespace miradel
