#include "Console.h"

#include <iostream>

namespace miradel::office {

namespace {

const char* AnswerName(PromptAnswer answer) {
    switch (answer) {
        case PromptAnswer::Ok:
            return "ok";
        case PromptAnswer::Cancel:
            return "cancel";
        case PromptAnswer::Yes:
            return "yes";
        case PromptAnswer::No:
            return "no";
        case PromptAnswer::Retry:
            return "retry";
    }
    return "?";
}

PromptAnswer Choose(PromptButtons buttons, AnswerPolicy policy) {
    const bool yes = policy != AnswerPolicy::kNo;  // the first button is always the "yes" one
    switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::OkCancel:
            return yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoCancel:
            return yes ? PromptAnswer::Yes : PromptAnswer::No;
        case PromptButtons::RetryCancel:
            return yes ? PromptAnswer::Retry : PromptAnswer::Cancel;
    }
    return PromptAnswer::Ok;
}

}  // namespace

void Console::Line(std::string_view text) {
    std::lock_guard lock(mutex_);
    std::cout << text << std::endl;
}

std::string OneLine(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

PromptAnswer ConsolePrompt::Ask(const PromptRequest& request) {
    if (request.buttons == PromptButtons::Ok) {
        console_.Line("message: " + OneLine(request.caption) + ": " + OneLine(request.text));
        return PromptAnswer::Ok;
    }
    const PromptAnswer answer = Choose(request.buttons, policy_);
    console_.Line("prompt: " + OneLine(request.caption) + ": " + OneLine(request.text) + " -> " +
                  AnswerName(answer));
    return answer;
}

void ConsoleStatus::ShowProgramState(std::string_view text, StateColour, bool) {
    console_.Line("state: " + std::string(text));
}

void ConsoleStatus::RaiseError(std::string_view text) {
    console_.Line("message: Error: " + std::string(text));
}

}  // namespace miradel::office
