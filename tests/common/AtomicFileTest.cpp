#include "common/AtomicFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace miradel {
namespace {

TEST(AtomicFile, ReplacesWholeFileAndLeavesNoTemporary) {
    testing::TempDir dir;
    const auto path = dir / "kassa.dat";
    ASSERT_EQ(WriteFileAtomically(path, std::vector<uint8_t>(32, 0xAA)), "");
    ASSERT_EQ(WriteFileAtomically(path, std::vector<uint8_t>{1, 2, 3}), "");
    EXPECT_EQ(ReadWholeFile(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(dir / "kassa.dat.tmp"));
}

TEST(AtomicFile, FailureKeepsOldContentAndSaysWhy) {
    testing::TempDir dir;
    const auto path = dir / "missing-folder" / "app.cfg";
    EXPECT_NE(WriteFileAtomically(path, std::vector<uint8_t>{1}), "");
    EXPECT_EQ(ReadWholeFile(path), std::nullopt);
}

TEST(AtomicFile, AppendCreatesAndExtends) {
    testing::TempDir dir;
    const auto path = dir / "app.log";
    EXPECT_TRUE(AppendToFile(path, "a\n"));
    EXPECT_TRUE(AppendToFile(path, "b\n"));
    const auto bytes = ReadWholeFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "a\nb\n");
    EXPECT_FALSE(AppendToFile(dir / "no" / "app.log", "x"));
}

}  // namespace
}  // namespace miradel
