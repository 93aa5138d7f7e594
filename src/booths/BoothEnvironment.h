#pragma once
// What a booth reaches outside itself. The main window owns all of it and outlives the booths.
// Later subsystems (controller link, tariffs, store, printing, LCD) add their interfaces here.

#include <filesystem>

#include "app/config/AppConfig.h"
#include "app/config/KabinCfg.h"
#include "app/config/KassaDat.h"
#include "booths/BoothPictures.h"
#include "common/Clock.h"
#include "common/OperatorLogSink.h"

namespace miradel {

struct BoothEnvironment {
    const Clock& clock;
    AppConfig& config;
    KabinImage& kabin;
    KassaImage& kassa;
    OperatorLogSink& operatorLog;
    BoothPictures& pictures;
    std::filesystem::path workFolder;  // app.log is written here
};

}  // namespace miradel
