#include "printing/DosCyrillic.h"

#include <gtest/gtest.h>

#include <string>

namespace miradel {
namespace {

struct Case {
    const char* utf8;
    std::string dos;
};

class M130TextTest : public ::testing::TestWithParam<Case> {};

TEST_P(M130TextTest, MovesCyrillicToTheDosPage) {
    EXPECT_EQ(M130Text(GetParam().utf8), GetParam().dos);
}

INSTANTIATE_TEST_SUITE_P(Letters, M130TextTest,
                         ::testing::Values(Case{"Latin 0-9 .,:", "Latin 0-9 .,:"},
                                           Case{"АЯ", "\x80\x9F"},  // 192, 223 -> 128, 159
                                           Case{"ап", "\xA0\xAF"},  // 224, 239 -> 160, 175
                                           Case{"ря", "\xE0\xEF"},  // 240, 255 -> 224, 239
                                           Case{"Ёё", "\xA8\xB8"},  // unchanged
                                           Case{"№ Счёт",
                                                "\xB9 \x91\xE7\xB8\xE2"}));  // № stays 0xB9

TEST(M130TextTest, CutsTo128Characters) {
    std::string longLine;
    for (int i = 0; i < 200; ++i) {
        longLine += "Ж";
    }
    const std::string dos = M130Text(longLine);
    EXPECT_EQ(dos, std::string(128, '\x86'));
}

}  // namespace
}  // namespace miradel
