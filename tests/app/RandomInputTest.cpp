// Damaged state and text files of every size and content must load without crashing or
// reading out of bounds; the sanitizer build runs this too.

#include <gtest/gtest.h>

#include <random>

#include "app/BoothBuilder.h"
#include "app/config/FixedLineFile.h"
#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "support/BoothTestEnv.h"

namespace miradel {
namespace {

std::vector<uint8_t> RandomBytes(std::mt19937& rng, std::size_t maxSize) {
    std::vector<uint8_t> bytes(std::uniform_int_distribution<std::size_t>(0, maxSize)(rng));
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

TEST(RandomInput, DamagedFilesLoadWithoutHarm) {
    std::mt19937 rng(20091205);
    for (int round = 0; round < 200; ++round) {
        testing::BoothTestEnv t;
        WriteFileAtomically(t.dir / "app.cfg", RandomBytes(rng, 900));
        WriteFileAtomically(t.dir / "kabin.cfg", RandomBytes(rng, 300));
        WriteFileAtomically(t.dir / "kassa.dat", RandomBytes(rng, 40));
        WriteFileAtomically(t.dir / "ticket.cfg", RandomBytes(rng, 4000));

        LoadAppConfig(t.dir.path(), t.config);
        LoadKassa(t.dir.path(), t.kassa);
        const KabinLoad kabin = LoadKabin(t.dir.path(), t.kabin);
        const BuiltBooths booths = BuildBooths(kabin.opened, BoothFactory{}, t.env);
        for (const auto& booth : booths.booths) {
            ASSERT_TRUE(booth);
            booth->GetInfo();
        }

        const AppConfigData config = t.config.Copy();
        for (uint16_t offset = 0; offset + 24 <= 632; offset += 7) {
            config.Get(appcfg::Text{offset, 24});
        }
        config.Get(appcfg::kAroundMessageFile);
        config.Get(appcfg::kRemoteStationAddress);

        const FixedLines lines = LoadFixedLines(t.dir / "ticket.cfg", 17, "Error open ticket.cfg");
        for (const std::string& line : lines.lines) {
            ASSERT_LE(line.size(), kFixedLineLimit * 3);  // at most three UTF-8 bytes a char
        }
    }
}

}  // namespace
}  // namespace miradel
