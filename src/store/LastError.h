#pragma once
// The data module's last-error slot: a code and a text that a failed write leaves for the
// operator log (event 34 prints both). Written from the booths' context and read from the
// window thread, so it is guarded.

#include <cstdint>
#include <mutex>
#include <string>

namespace miradel {

class LastErrorSlot {
  public:
    struct Value {
        int32_t code = 0;
        std::string text;
    };

    void Set(int32_t code, std::string text) {
        std::lock_guard lock(mutex_);
        value_ = {code, std::move(text)};
    }

    Value Get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }

  private:
    mutable std::mutex mutex_;
    Value value_;
};

}  // namespace miradel
