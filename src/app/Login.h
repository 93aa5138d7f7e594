#pragma once
// Operators identify themselves by a password alone. The "Паспорт" dialog checks the typed
// password (the built-in service password first, then the PASSWORD table); the login
// procedure gives the operator three attempts; a successful login moves the shift start
// receipt in app.cfg when a different operator takes over.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/config/AppConfig.h"
#include "common/OperatorPrompt.h"

namespace miradel {

class TDMInfo;

// Works without the PASSWORD table: operator 99, administrator.
inline constexpr std::string_view kServicePassword = "qzr40316258";
inline constexpr int kServiceOperator = 99;

inline constexpr std::string_view kPasswordNotFound = "Пароль не найден!?";
inline constexpr std::string_view kPasswordNotFoundCaption = "Error password";
inline constexpr std::string_view kPasswordUnknown = "Пароль неопознан!!?";
inline constexpr std::string_view kPasswordUnknownCaption = "Error Password";
inline constexpr int kLoginAttempts = 3;

struct LoginResult {
    int operatorNo = -1;  // -1: nobody logged in
    int type = -1;        // 0 administrator, any other value an operator; -1 none
    bool LoggedIn() const { return operatorNo != -1; }
};

// The operator table as the login sees it.
class PasswordTable {
  public:
    virtual ~PasswordTable() = default;
    // The row whose password equals `password` exactly; nullopt when there is none or the
    // table cannot be read.
    virtual std::optional<LoginResult> Find(std::string_view password) = 0;
};

// PASSWORD of the store, looked up on its PASS index and closed again after each lookup.
class StorePasswordTable final : public PasswordTable {
  public:
    explicit StorePasswordTable(TDMInfo& dm) : dm_(dm) {}
    std::optional<LoginResult> Find(std::string_view password) override;

  private:
    TDMInfo& dm_;
};

// "Применить" with the typed text. An empty password never logs anyone in, whatever the
// table holds. An unknown one tells the operator "Пароль не найден!?".
LoginResult CheckPassword(std::string_view typed, PasswordTable* table, OperatorPrompt& prompt);

// The dialog: the typed password, or nullopt for "Отмена" (or the dialog closed).
using PasswordDialog = std::function<std::optional<std::string>()>;

// Up to three attempts; after three failures the operator is told "Пароль неопознан!!?" and
// the result is -1 (the caller then closes the office). `onAttempt` (may be empty) hears
// every attempt's result.
LoginResult RunLoginProcedure(const PasswordDialog& dialog, PasswordTable* table,
                              OperatorPrompt& prompt,
                              const std::function<void(const LoginResult&)>& onAttempt = {});

// The shift bookkeeping of a successful login: a different operator than the stored one
// starts a new shift at the next receipt number. Raises the app.cfg dirty flag.
void RecordShiftStart(AppConfig& config, int operatorNo);

}  // namespace miradel
