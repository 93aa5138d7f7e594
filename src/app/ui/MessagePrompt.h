#pragma once
// Questions and message boxes for the operator as Qt message boxes. On the window thread the
// box is modal and its answer returned. A question raised on another thread (the engine) is
// shown on the window thread and waits for the operator's answer, at most
// kEngineQuestionWait; only then does the box's first button (OK, Yes or Retry) stand in, so
// that the engine cannot hang while the window thread waits for it.
#include <chrono>

#include "common/OperatorPrompt.h"

namespace miradel {

inline constexpr std::chrono::minutes kEngineQuestionWait{5};

class MessagePrompt final : public OperatorPrompt {
  public:
    PromptAnswer Ask(const PromptRequest& request) override;
};

// The answer of the first button of a box.
PromptAnswer FirstAnswer(PromptButtons buttons);

}  // namespace miradel
