#pragma once
// The "Паспорт" dialog: one masked input "Ввести пароль:" (each character shown as '*'),
// "Применить" (the default button) and "Отмена". The login and the temporary privileges
// both ask through it.
#include <optional>
#include <string>

class QWidget;

namespace miradel {

// The typed password, or nothing for "Отмена" (or the dialog closed).
std::optional<std::string> AskLoginPassword(QWidget* parent = nullptr);

}  // namespace miradel
