#pragma once

#include <string>

namespace miradel {

// A start-up file that cannot be used. `text` is the short message the office shows before it
// ends ("Error open kassa.dat"); `detail` says what exactly was wrong, for the engineer.
struct LoadError {
    std::string text;
    std::string detail;
};

}  // namespace miradel
