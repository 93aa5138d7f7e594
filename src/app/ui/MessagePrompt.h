#pragma once
// Questions and message boxes for the operator as Qt message boxes. On the window thread the
// box is modal and its answer returned. A question raised on another thread (the engine)
// waits for the operator's answer: its box is opened on the window thread, application-modal
// but without a nested loop of its own, and answers through its signal. The window thread
// keeps its events flowing while it waits for the engine (PumpWhileWaiting, the office's wait
// hook), so a question asked while the window waits is still shown and answered.
#include <chrono>

#include "common/OperatorPrompt.h"

namespace miradel {

// The last resort for a question no one can be shown (see Ask).
inline constexpr std::chrono::minutes kOtherThreadQuestionWait{10};

class MessagePrompt final : public OperatorPrompt {
  public:
    PromptAnswer Ask(const PromptRequest& request) override;

    // Offscreen tests: every box is answered with its first button instead of a click.
    void SetAutoAnswer(bool on) { autoAnswer_ = on; }

  private:
    bool autoAnswer_ = false;
};

// The office's wait hook for a window thread: runs the window's events for a moment, the
// operator's input only while a question box of another thread is open.
void PumpWhileWaiting();

// The answer of the first button of a box.
PromptAnswer FirstAnswer(PromptButtons buttons);

}  // namespace miradel
