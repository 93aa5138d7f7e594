#include "app/HelpPages.h"

#include <string>
#include <system_error>

namespace miradel {

std::filesystem::path HelpPage(const std::filesystem::path& folder, int topic) {
    std::error_code ec;
    if (topic != kHelpContents) {
        const std::filesystem::path page = folder / (std::to_string(topic) + ".html");
        if (std::filesystem::is_regular_file(page, ec)) {
            return page;
        }
    }
    return folder / "index.html";
}

}  // namespace miradel
