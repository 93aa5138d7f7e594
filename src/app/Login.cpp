#include "app/Login.h"

#include <exception>

#include "store/TDMInfo.h"

namespace miradel {

using namespace appcfg;

std::optional<LoginResult> StorePasswordTable::Find(std::string_view password) {
    Table& table = dm_.tblPassword;
    std::optional<LoginResult> found;
    try {
        table.Open();
        table.SelectIndex("PASS");
        if (table.FindKey({std::string(password)})) {
            found = LoginResult{int(table.FieldByName("NUMBER_OPERATOR").AsInteger()),
                                int(table.FieldByName("TYPE_OPERATOR").AsInteger())};
        }
    } catch (const std::exception&) {
        found.reset();  // a damaged table logs nobody in; the service password still works
    }
    try {
        table.Close();
    } catch (const std::exception&) {
    }
    return found;
}

LoginResult CheckPassword(std::string_view typed, PasswordTable* table, OperatorPrompt& prompt) {
    if (typed == kServicePassword) {
        return {kServiceOperator, 0};
    }
    if (!typed.empty() && table != nullptr) {
        if (auto row = table->Find(typed)) {
            if (row->operatorNo != -1) {
                return *row;
            }
        }
    }
    prompt.Ask({std::string(kPasswordNotFound), std::string(kPasswordNotFoundCaption),
                PromptButtons::Ok, PromptIcon::Error});
    return {};
}

LoginResult RunLoginProcedure(const PasswordDialog& dialog, PasswordTable* table,
                              OperatorPrompt& prompt,
                              const std::function<void(const LoginResult&)>& onAttempt) {
    for (int attempt = 0; attempt < kLoginAttempts; ++attempt) {
        const std::optional<std::string> typed = dialog();
        const LoginResult result = typed ? CheckPassword(*typed, table, prompt) : LoginResult{};
        if (onAttempt) {
            onAttempt(result);
        }
        if (result.LoggedIn()) {
            return result;
        }
    }
    prompt.Ask({std::string(kPasswordUnknown), std::string(kPasswordUnknownCaption),
                PromptButtons::Ok, PromptIcon::Error});
    return {};
}

void RecordShiftStart(AppConfig& config, int operatorNo) {
    config.Modify([operatorNo](AppConfigData& d) {
        if (d.Get(kOperatorOnDuty) != operatorNo) {
            d.Set(kShiftStartReceipt, d.Get(kNextBoothReceipt));
        }
        d.Set(kOperatorOnDuty, static_cast<int16_t>(operatorNo));
    });
}

}  // namespace miradel
