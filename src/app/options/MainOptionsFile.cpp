#include "app/options/MainOptionsFile.h"

#include <algorithm>

#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "common/DateText.h"

namespace miradel {

MainOptionsSave ApplyMainOptionsToFolder(const std::filesystem::path& folder,
                                         const MainOptionsModel& model) {
    MainOptionsSave save;
    const auto path = folder / kAppCfgName;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        return save;
    }
    AppConfigData::Bytes image = AppConfigData::Defaults().bytes();
    std::copy_n(bytes->begin(), std::min(bytes->size(), image.size()), image.begin());
    save.outcome = model.Apply(AppConfigData::FromBytes(image));
    const auto& out = save.outcome.config.bytes();
    save.error = WriteFileAtomically(path, out.data(), out.size());
    save.written = save.error.empty();
    return save;
}

std::string AppLogSwitchOnLines(const LocalDateTime& now) {
    return DateText(now) + "\n" + TimeText(now) + "\n";
}

bool AppendAppLogSwitchOn(const std::filesystem::path& appLog, const LocalDateTime& now) {
    return AppendToFile(appLog, AppLogSwitchOnLines(now));
}

}  // namespace miradel
