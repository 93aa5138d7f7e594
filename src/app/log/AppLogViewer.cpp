#include "app/log/AppLogViewer.h"

#include "common/AtomicFile.h"
#include "common/Cp1251.h"

namespace miradel {

AppLogViewer::AppLogViewer(std::filesystem::path appLog, OperatorPrompt& prompt)
    : file_(std::move(appLog)), prompt_(prompt) {}

bool AppLogViewer::Open() {
    rows_.clear();
    std::error_code error;
    const auto bytes =
        std::filesystem::is_regular_file(file_, error) ? ReadWholeFile(file_) : std::nullopt;
    if (!bytes) {
        prompt_.Ask(PromptRequest{kAppLogMissing, kAppLogMissingCaption, PromptButtons::Ok,
                                  PromptIcon::Error});
        return false;
    }
    const std::string text =
        Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string row = text.substr(start, end - start);
        if (!row.empty() && row.back() == '\r') {
            row.pop_back();
        }
        rows_.push_back(std::move(row));
        start = end + 1;
    }
    return true;
}

void AppLogViewer::Clear() {
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
    rows_.assign(1, kAppLogCleared);
}

void AppLogViewer::Close() {
    rows_.clear();
    rows_.shrink_to_fit();
}

}  // namespace miradel
