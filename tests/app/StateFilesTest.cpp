#include "app/config/StateFiles.h"

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

std::vector<uint8_t> Bytes(const auto& array) {
    return {array.begin(), array.end()};
}

struct Office {
    testing::TempDir dir;
    AppConfig config;
    KassaImage kassa;
    KabinImage kabin;
    SaveTimer timer{dir.path(), config, kassa, kabin};
};

TEST(KabinCfg, RecordLayoutIsTwelveLittleEndianBytes) {
    BoothSlotRecord r{2, 12, 1, 500};
    uint8_t bytes[12];
    std::fill(std::begin(bytes), std::end(bytes), 0xEE);
    r.Encode(bytes);
    const uint8_t expected[12] = {2, 0, 12, 0, 1, 0, 0, 0, 0xF4, 0x01, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(bytes), std::end(bytes), std::begin(expected)));
    EXPECT_EQ(BoothSlotRecord::Decode(bytes), r);
}

TEST(KabinCfg, ShortFileGivesTheRecordsItHoldsAndDisabledPositionsAfter) {
    Office o;
    KabinData d;
    d.Record(0) = {2, 7, 1, 500};
    d.Record(1) = {1, 8, 3, 0};
    auto bytes = Bytes(d.ToBytes());
    bytes.resize(12 + 6);  // one whole record and half of the next
    ASSERT_EQ(WriteFileAtomically(o.dir / "kabin.cfg", bytes), "");
    const KabinLoad load = LoadKabin(o.dir.path(), o.kabin);
    EXPECT_TRUE(load.opened);
    EXPECT_NE(load.warning, "");
    const KabinData loaded = o.kabin.Copy();
    EXPECT_EQ(loaded.Record(0), (BoothSlotRecord{2, 7, 1, 500}));
    EXPECT_EQ(loaded.Record(1), (BoothSlotRecord{1, 8, 3, 0}));  // its advance bytes are missing
    EXPECT_EQ(loaded.Record(2), BoothSlotRecord{});
    EXPECT_FALSE(LoadKabin(o.dir / "nowhere", o.kabin).opened);
}

TEST(KassaDat, MustExistAndHoldAllEightCounters) {
    Office o;
    EXPECT_EQ(LoadKassa(o.dir.path(), o.kassa)->text, "Error open kassa.dat");
    ASSERT_EQ(WriteFileAtomically(o.dir / "kassa.dat", std::vector<uint8_t>(20, 0)), "");
    const auto shortFile = LoadKassa(o.dir.path(), o.kassa);
    ASSERT_TRUE(shortFile);
    EXPECT_EQ(shortFile->text, "Error open kassa.dat");
    EXPECT_NE(shortFile->detail, "");

    KassaData k;
    k.Set(kKassaBoothAdvances, 500);
    k.Set(kKassaTotal, -1);
    ASSERT_EQ(WriteFileAtomically(o.dir / "kassa.dat", Bytes(k.ToBytes())), "");
    EXPECT_FALSE(LoadKassa(o.dir.path(), o.kassa));
    EXPECT_EQ(o.kassa.Copy().Get(kKassaBoothAdvances), 500);
    EXPECT_EQ(o.kassa.Copy().Get(kKassaTotal), -1);
}

TEST(SaveTimer, WritesOnlyDirtyFilesAndClearsTheirFlags) {
    Office o;
    o.kassa.Modify([](KassaData& k) { k.Add(kKassaTotal, 250); });
    o.timer.Fire();
    EXPECT_FALSE(o.kassa.Dirty());
    EXPECT_EQ(ReadWholeFile(o.dir / "kassa.dat")->at(28), 250);
    EXPECT_FALSE(std::filesystem::exists(o.dir / "app.cfg"));
    EXPECT_FALSE(std::filesystem::exists(o.dir / "kabin.cfg"));

    o.kabin.Modify([](KabinData& d) { d.Record(15) = {10, 16, 1, 0}; });
    o.timer.Fire();
    const auto kabin = ReadWholeFile(o.dir / "kabin.cfg");
    ASSERT_TRUE(kabin);
    ASSERT_EQ(kabin->size(), 192u);
    EXPECT_EQ(kabin->at(180), 10);
}

TEST(SaveTimer, UnwritableFileKeepsItsFlagUntilItCanBeWritten) {
    Office o;
    // A folder in the file's place makes the rename fail whoever we run as.
    std::filesystem::create_directory(o.dir / "app.cfg");
    o.config.Set(kNextBoothReceipt, 12);
    o.timer.Fire();
    EXPECT_TRUE(o.config.Dirty());
    EXPECT_NE(o.timer.LastError(), "");
    o.timer.Fire();
    EXPECT_TRUE(o.config.Dirty());

    std::filesystem::remove(o.dir / "app.cfg");
    o.timer.Fire();
    EXPECT_FALSE(o.config.Dirty());
    AppConfig reread;
    LoadAppConfig(o.dir.path(), reread);
    EXPECT_EQ(reread.Get(kNextBoothReceipt), 12);
}

TEST(SaveTimer, ChangeDuringAWriteLeavesTheFlagRaised) {
    KassaImage kassa;
    kassa.Modify([](KassaData& k) { k.Add(kKassaFax, 100); });
    const auto copy = kassa.CopyForSave();
    kassa.Modify([](KassaData& k) { k.Add(kKassaFax, 100); });  // while the copy is written
    kassa.MarkSaved(copy.version);
    EXPECT_TRUE(kassa.Dirty());
    const auto second = kassa.CopyForSave();
    kassa.MarkSaved(second.version);
    EXPECT_FALSE(kassa.Dirty());
    EXPECT_EQ(second.data.Get(kKassaFax), 200);
}

TEST(SaveTimer, SaveAllWritesAppCfgAndKassaEvenWhenClean) {
    Office o;
    EXPECT_TRUE(o.timer.SaveAll());
    EXPECT_EQ(ReadWholeFile(o.dir / "app.cfg")->size(), 632u);
    EXPECT_EQ(ReadWholeFile(o.dir / "kassa.dat")->size(), 32u);
    EXPECT_FALSE(std::filesystem::exists(o.dir / "kabin.cfg"));
}

TEST(ApplySettings, DroppedWhenAppCfgIsGoneOtherwiseWrittenAtOnce) {
    Office o;
    LoadAppConfig(o.dir.path(), o.config);
    std::filesystem::remove(o.dir / "app.cfg");
    EXPECT_FALSE(
        ApplySettings(o.dir.path(), o.config, [](AppConfigData& d) { d.Set(kStartDelay, 9); }));
    EXPECT_EQ(o.config.Get(kStartDelay), 1);
    EXPECT_FALSE(std::filesystem::exists(o.dir / "app.cfg"));

    LoadAppConfig(o.dir.path(), o.config);  // creates it again
    o.config.Set(kNextBoothReceipt, 77);    // a counter not yet flushed
    EXPECT_TRUE(
        ApplySettings(o.dir.path(), o.config, [](AppConfigData& d) { d.Set(kFaxPagePrice, 150); }));
    EXPECT_FALSE(o.config.Dirty());
    AppConfig reread;
    LoadAppConfig(o.dir.path(), reread);
    EXPECT_EQ(reread.Get(kFaxPagePrice), 150);
    EXPECT_EQ(reread.Get(kNextBoothReceipt), 77);  // not lost to the file's older copy
}

}  // namespace
}  // namespace miradel
