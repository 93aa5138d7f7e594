#include "tariff/NumberField.h"

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

namespace miradel {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(TariffNumberField, ReadsLikeTheTariffFilesAreWritten) {
    const struct {
        std::string_view field;
        int32_t value;
    } cases[] = {
        {"12", 12},
        {"  7", 7},
        {"\t-5x", -5},
        {"+3", 3},
        {"0042", 42},
        {"12ab34", 12},
        {"11\n", 11},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"- 4", 0},
        {"  ", 0},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"2147483648", kMax},
        {"99999999999999", kMax},
        {"-99999999999999", kMin},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadNumber(c.field), c.value) << '"' << c.field << '"';
    }
}

}  // namespace
}  // namespace miradel
