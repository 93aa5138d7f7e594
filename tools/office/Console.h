#pragma once
// The headless office's console: every line goes to stdout whole, from whichever thread;
// prompts are answered by a fixed policy and shown with their answer; program states and
// message boxes are shown as they come.
#include <mutex>
#include <string>
#include <string_view>

#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"

namespace miradel::office {

enum class AnswerPolicy { kYes, kNo, kFirst };

class Console {
  public:
    void Line(std::string_view text);

  private:
    std::mutex mutex_;
};

// One line for a text that may hold line breaks.
std::string OneLine(std::string_view text);

class ConsolePrompt final : public OperatorPrompt {
  public:
    ConsolePrompt(Console& console, AnswerPolicy policy) : console_(console), policy_(policy) {}
    PromptAnswer Ask(const PromptRequest& request) override;

  private:
    Console& console_;
    AnswerPolicy policy_;
};

class ConsoleStatus final : public ProgramStatusSink {
  public:
    explicit ConsoleStatus(Console& console) : console_(console) {}
    void ShowProgramState(std::string_view text, StateColour colour, bool abnormal) override;
    void RaiseError(std::string_view text) override;
    void DisableWindowTimer() override {}

  private:
    Console& console_;
};

}  // namespace miradel::office
