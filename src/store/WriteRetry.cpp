#include "store/WriteRetry.h"

#include <algorithm>
#include <string>

#include "store/StoreError.h"

namespace miradel {

namespace {

enum class Attempt { Written, NotReady, EngineFailed };

Attempt TryOnce(const WriteRetryServices& services, std::string_view tableText,
                const std::function<bool()>& writer, std::string& question) {
    try {
        if (writer()) {
            return Attempt::Written;
        }
        services.lastError.Set(0, std::string(tableText));
        question = std::string(kWriteRetryQuestion);
        return Attempt::NotReady;
    } catch (const StoreError& error) {
        services.lastError.Set(error.Code(), error.what());
        question = EngineRetryQuestion(error.what());
        return Attempt::EngineFailed;
    }
}

bool AskToRepeat(const WriteRetryServices& services, const std::string& question) {
    const auto slot = services.lastError.Get();
    services.log.LogEvent(kEventDatabaseError, {std::to_string(slot.code), slot.text});
    const PromptAnswer answer = services.prompt.Ask(PromptRequest{
        question, std::string(kWriteRetryCaption), PromptButtons::YesNo, PromptIcon::Question});
    return answer == PromptAnswer::Yes;
}

}  // namespace

std::string EngineRetryQuestion(std::string_view engineMessage) {
    return "Ошибка записи в базу данных!\n" + std::string(engineMessage) +
           "\nПовторить или отменить?";
}

bool WriteWithRetry(const WriteRetryServices& services, std::string_view tableText,
                    const std::function<bool()>& writer) {
    return WriteWithSilentRepeats(services, tableText, writer, 1);
}

bool WriteWithSilentRepeats(const WriteRetryServices& services, std::string_view tableText,
                            const std::function<bool()>& writer, int silentAttempts) {
    std::string question;
    for (int attempt = 0; attempt < std::max(silentAttempts, 1); ++attempt) {
        const Attempt result = TryOnce(services, tableText, writer, question);
        if (result == Attempt::Written) {
            return true;
        }
        if (result == Attempt::EngineFailed) {
            break;  // an engine error is not "not ready yet": ask at once
        }
    }
    while (AskToRepeat(services, question)) {
        if (TryOnce(services, tableText, writer, question) == Attempt::Written) {
            return true;
        }
    }
    return false;
}

}  // namespace miradel
