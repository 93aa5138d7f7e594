#include "controller/ExchangeDebugView.h"

namespace miradel {

void ExchangeDebugView::SetQueueCount(std::size_t count) {
    std::lock_guard lock(mutex_);
    data_.countQueue = std::to_string(count);
    Changed();
}

void ExchangeDebugView::SetFlagSend(bool awaiting) {
    std::lock_guard lock(mutex_);
    data_.flagSend = awaiting ? "FFF" : "0";
    Changed();
}

void ExchangeDebugView::ToggleLamp() {
    std::lock_guard lock(mutex_);
    data_.lamp = !data_.lamp;
    Changed();
}

void ExchangeDebugView::AppendLinkCounters(int ackWait, int sendDelay) {
    std::lock_guard lock(mutex_);
    data_.timeText += std::to_string(ackWait);
    data_.delayText += std::to_string(sendDelay);
    Changed();
}

void ExchangeDebugView::SetRepeat(int repeat) {
    std::lock_guard lock(mutex_);
    data_.repeatText = "Repeat - " + std::to_string(repeat);
    Changed();
}

void ExchangeDebugView::SetReason(std::string_view word) {
    std::lock_guard lock(mutex_);
    data_.reason = word;
    Changed();
}

void ExchangeDebugView::SetInputError(std::string_view word) {
    std::lock_guard lock(mutex_);
    if (data_.inputError != word) {
        data_.inputError = word;
        Changed();
    }
}

void ExchangeDebugView::SetHardwareError(std::string_view word) {
    std::lock_guard lock(mutex_);
    data_.hardwareError = word;
    Changed();
}

void ExchangeDebugView::ToggleSecondTick() {
    std::lock_guard lock(mutex_);
    data_.secondTick = data_.secondTick == 16 ? 0 : 16;
    Changed();
}

void ExchangeDebugView::AddLine(std::string line, bool serviceLine) {
    std::lock_guard lock(mutex_);
    if (!data_.viewOn || (serviceLine && data_.blockService)) {
        return;
    }
    data_.view.push_front(std::move(line));
    if (data_.view.size() > kMaxViewLines) {
        data_.view.pop_back();
    }
    Changed();
}

void ExchangeDebugView::SetViewOn(bool on) {
    std::lock_guard lock(mutex_);
    data_.viewOn = on;
    Changed();
}

void ExchangeDebugView::SetBlockService(bool block) {
    std::lock_guard lock(mutex_);
    data_.blockService = block;
    Changed();
}

void ExchangeDebugView::ClearView() {
    std::lock_guard lock(mutex_);
    data_.view.clear();
    Changed();
}

void ExchangeDebugView::ClearErrors() {
    std::lock_guard lock(mutex_);
    data_.errorCode.clear();
    data_.reason.clear();
    data_.hardwareError.clear();
    data_.inputError.clear();
    data_.timeText = "Time - ";
    data_.delayText = "Delay - ";
    data_.repeatText = "Repeat - ";
    Changed();
}

void ExchangeDebugView::WindowClosed() {
    std::lock_guard lock(mutex_);
    data_.viewOn = false;
    data_.view.clear();
    Changed();
}

bool ExchangeDebugView::ViewOn() const {
    std::lock_guard lock(mutex_);
    return data_.viewOn;
}

bool ExchangeDebugView::ServiceBlocked() const {
    std::lock_guard lock(mutex_);
    return data_.viewOn && data_.blockService;
}

ExchangeDebugView::Snapshot ExchangeDebugView::Read() const {
    std::lock_guard lock(mutex_);
    return data_;
}

uint64_t ExchangeDebugView::Version() const {
    std::lock_guard lock(mutex_);
    return data_.version;
}

}  // namespace miradel
