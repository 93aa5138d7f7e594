#pragma once
// A question or message box for the operator. The call blocks the calling thread until the
// operator answers; the GUI implements it on the window thread, tests answer from a script.

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace miradel {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

struct PromptRequest {
    std::string text;     // the system's own words, e.g. "Автономный режим?"
    std::string caption;  // the box's title, e.g. "Критическая ошибка!"
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
};

class OperatorPrompt {
  public:
    virtual ~OperatorPrompt() = default;
    virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

// Answers from a list given in advance and remembers every request; when the list runs out
// it answers with the fallback. Safe to call from any thread.
class ScriptedPrompt final : public OperatorPrompt {
  public:
    explicit ScriptedPrompt(PromptAnswer fallback = PromptAnswer::Ok) : fallback_(fallback) {}

    void Queue(PromptAnswer answer) {
        std::lock_guard lock(mutex_);
        answers_.push_back(answer);
    }

    PromptAnswer Ask(const PromptRequest& request) override {
        std::lock_guard lock(mutex_);
        asked_.push_back(request);
        if (answers_.empty()) {
            return fallback_;
        }
        const PromptAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::vector<PromptRequest> Asked() const {
        std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    mutable std::mutex mutex_;
    PromptAnswer fallback_;
    std::deque<PromptAnswer> answers_;
    std::vector<PromptRequest> asked_;
};

}  // namespace miradel
