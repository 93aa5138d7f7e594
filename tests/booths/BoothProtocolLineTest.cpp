#include "booths/BoothProtocolLine.h"

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

std::string FileText(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

TEST(BoothProtocolLine, PiecesAreKeptOnlyWhileTheLineStaysWithinNinetyNineCharacters) {
    BoothProtocolLine line("Автомат ", 3);
    EXPECT_EQ(Cp1251ToUtf8(line.Text()), "Автомат 3 - ");
    while (line.Text().size() < 98)
        line.Append("U");
    ASSERT_EQ(line.Text().size(), 98u);
    line.Append("12");  // would make 100
    EXPECT_EQ(line.Text().size(), 98u);
    line.Append("P");
    EXPECT_EQ(line.Text().size(), 99u);
    line.Append("D");
    EXPECT_EQ(line.Text().size(), 99u);
}

TEST(BoothProtocolLine, FlushAppendsDateAndTimeAndStartsAFreshLine) {
    testing::TempDir dir;
    BoothProtocolLine line("Автомат ", 12);
    line.Append("U");
    line.Append("810");
    const LocalDateTime now{2009, 3, 5, 9, 5, 7};
    EXPECT_TRUE(line.Flush(dir / kAppLogName, now));
    line.Append("D");
    EXPECT_TRUE(line.Flush(dir / kAppLogName, now));
    EXPECT_EQ(Cp1251ToUtf8(FileText(dir / kAppLogName)),
              "Автомат 12 - U810 05.03.2009 09:05:07\n"
              "Автомат 12 - D 05.03.2009 09:05:07\n");
}

TEST(BoothProtocolLine, UnopenableLogKeepsTheLine) {
    testing::TempDir dir;
    BoothProtocolLine line("Автомат ", 1);
    line.Append("U5");
    EXPECT_FALSE(line.Flush(dir / "missing" / kAppLogName, {}));
    EXPECT_EQ(Cp1251ToUtf8(line.Text()), "Автомат 1 - U5");
}

TEST(BoothProtocolLine, SwitchingLoggingOnWritesDateAndTimeLinesEachTime) {
    testing::TempDir dir;
    EXPECT_TRUE(AppendAppLogMarkers(dir / kAppLogName, {2009, 3, 5, 9, 5, 7}));
    EXPECT_TRUE(AppendAppLogMarkers(dir / kAppLogName, {2009, 3, 5, 10, 0, 0}));
    EXPECT_EQ(FileText(dir / kAppLogName), "05.03.2009\n09:05:07\n05.03.2009\n10:00:00\n");
}

}  // namespace
}  // namespace miradel
