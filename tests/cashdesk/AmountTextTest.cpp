#include "cashdesk/AmountText.h"

#include <gtest/gtest.h>

#include <limits>

namespace miradel {
namespace {

struct AmountCase {
    const char* text;
    std::optional<Money> hundredths;
};

class ReadAmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(ReadAmountTest, ReadsDecimalTextExactly) {
    EXPECT_EQ(ReadAmount(GetParam().text), GetParam().hundredths) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadAmountTest,
    ::testing::Values(
        AmountCase{"12.5", 1250}, AmountCase{"0.29", 29}, AmountCase{"5.", 500},
        AmountCase{"5", 500}, AmountCase{"0.00", 0}, AmountCase{"", 0}, AmountCase{".", 0},
        AmountCase{"abc", 0}, AmountCase{".5", 50}, AmountCase{"0.07", 7}, AmountCase{"1.1", 110},
        AmountCase{"4.35", 435}, AmountCase{"12.345", 1234},  // money truncates
        AmountCase{" 7.1x", 710},                             // reading stops at the first stranger
        AmountCase{"1,5", 100}, AmountCase{"1e2", 100}, AmountCase{"0000012.05", 1205},
        AmountCase{"+3", 300}, AmountCase{"-0.05", -5}, AmountCase{"9999999", 999999900},
        AmountCase{"21474836.47", std::numeric_limits<Money>::max()},
        AmountCase{"21474836.48", std::nullopt}, AmountCase{"99999999999999999999", std::nullopt}));

}  // namespace
}  // namespace miradel
