#include "common/DateText.h"

#include <fmt/format.h>

namespace miradel {

std::string DateText(const LocalDateTime& t) {
    return fmt::format("{:02}.{:02}.{:4}", t.day, t.month, t.year);
}

std::string TimeText(const LocalDateTime& t) {
    return fmt::format("{:02}:{:02}:{:02}", t.hour, t.minute, t.second);
}

}  // namespace miradel
