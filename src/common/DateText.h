#pragma once
// The date and time forms shown in windows and written to logs.

#include <string>

#include "common/Clock.h"

namespace miradel {

std::string DateText(const LocalDateTime& t);  // "05.03.2009"
std::string TimeText(const LocalDateTime& t);  // "09:05:07"

}  // namespace miradel
