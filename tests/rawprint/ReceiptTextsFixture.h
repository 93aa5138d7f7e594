#pragma once
// A working folder holding ticket.cfg and avans.cfg as an office keeps them (Windows-1251,
// CR LF), and the 26 receipt texts loaded from it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/config/FixedLineFile.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "support/TempDir.h"

namespace miradel::testing {

inline void WriteCp1251Lines(const std::filesystem::path& path,
                             const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToCp1251(line) + "\r\n";
    }
    ASSERT_TRUE(AppendToFile(path, bytes));
}

class ReceiptTextsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteCp1251Lines(dir / "ticket.cfg",
                         {
                             "==========",     // 0
                             "Квитанция №",    // 1: receipt at 11, operator at 18
                             "----------",     // 2
                             "Разговор",       // 3: ordinal at 10
                             "N",              // 4: digits at 1
                             "Длительность:",  // 5: duration at 14
                             "Стоимость:",     // 6: charge at 14
                             "Аванс:",         // 7: deposit at 13
                             "Сдача:",         // 8: balance at 13
                             "Спасибо!",       // 9
                             "- - -",          // 10
                             "Дата:",          // 11: date at 9
                             "Время:",         // 12: time at 9
                             "Кабина №",       // 13: booth at 12
                             "Оплачено:",      // 14: spent at 13
                             "ООО Связь",      // 15
                             "г. Энск",        // 16
                         });
        WriteCp1251Lines(dir / "avans.cfg", {
                                                "********",      // 17
                                                "АВАНС",         // 18
                                                "Дата:",         // 19
                                                "Время:",        // 20
                                                "Оператор:",     // 21
                                                "Квитанция:",    // 22
                                                "Кабина:",       // 23
                                                "Внесено:",      // 24
                                                "Переговорный",  // 25
                                            });
        ASSERT_FALSE(ReceiptTexts::Load(dir.path(), texts).has_value());
    }

    TempDir dir;
    ReceiptTexts texts;
};

}  // namespace miradel::testing
