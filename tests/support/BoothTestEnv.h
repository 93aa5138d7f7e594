#pragma once
// Everything a booth reaches, in memory, for booth tests.

#include "booths/BoothEnvironment.h"
#include "support/TempDir.h"

namespace miradel::testing {

// Pictures that can be made to fail, to exercise the booths' redraw recovery.
class FlakyPictures final : public BoothPictures {
  public:
    bool Usable(int) override { return usable; }
    void Reload(int picture) override { reloaded.push_back(picture); }

    bool usable = true;
    std::vector<int> reloaded;
};

struct BoothTestEnv {
    TempDir dir;
    VirtualClock clock{{2009, 3, 5, 9, 5, 7}};
    AppConfig config{AppConfigData::Defaults()};
    KabinImage kabin;
    KassaImage kassa;
    RecordingOperatorLog log;
    FlakyPictures pictures;
    BoothEnvironment env{clock, config, kabin, kassa, log, pictures, dir.path()};
};

}  // namespace miradel::testing
