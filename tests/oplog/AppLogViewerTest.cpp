// The app.log viewer's model: the booth protocol lines, and "Очистка".

#include <gtest/gtest.h>

#include <fstream>

#include "app/log/AppLogViewer.h"
#include "common/Cp1251.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

TEST(AppLogViewer, ShowsEveryLineAndClearingLeavesOnlyTheMark) {
    testing::TempDir dir;
    const auto file = dir / "app.log";
    std::ofstream(file, std::ios::binary)
        << Utf8ToCp1251("Автомат1 - UPI0952D 05.03.2009 09:05:07\n05.03.2009\r\n09:05:07\n");
    ScriptedPrompt prompt;
    AppLogViewer viewer(file, prompt);
    ASSERT_TRUE(viewer.Open());
    EXPECT_EQ(viewer.Rows(), (std::vector<std::string>{"Автомат1 - UPI0952D 05.03.2009 09:05:07",
                                                       "05.03.2009", "09:05:07"}));
    viewer.Clear();
    EXPECT_EQ(viewer.Rows(), (std::vector<std::string>{"Log. file clear!"}));
    EXPECT_FALSE(std::filesystem::exists(file));
    viewer.Close();
    EXPECT_TRUE(viewer.Rows().empty());
    EXPECT_TRUE(prompt.Asked().empty());
}

TEST(AppLogViewer, AMissingFileIsReportedAndNothingIsShown) {
    testing::TempDir dir;
    ScriptedPrompt prompt;
    AppLogViewer viewer(dir / "app.log", prompt);
    EXPECT_FALSE(viewer.Open());
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Не найден app.log!");
    EXPECT_EQ(prompt.Asked()[0].caption, "Error Open");
    EXPECT_EQ(prompt.Asked()[0].icon, PromptIcon::Error);
    EXPECT_TRUE(viewer.Rows().empty());
}

}  // namespace
}  // namespace miradel
