// hdop.log: one Windows-1251 entry per event, laid out as the office's journal has it, never
// interleaved between threads; an unwritable file is reported, not retried.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "app/log/OperatorLog.h"
#include "common/Cp1251.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

LocalDateTime Moment() {
    LocalDateTime t;
    t.year = 2009;
    t.month = 3;
    t.day = 5;
    t.hour = 9;
    t.minute = 5;
    t.second = 7;
    return t;
}

const std::string kHead = "==============================\n05.03.2009\n09:05:07\n";

std::string ReadLog(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(OperatorLog, EntriesAreLaidOutAsTheJournalHasThem) {
    const struct {
        int event;
        std::vector<std::string> values;
        std::string lines;  // after the head
    } cases[] = {
        {0, {}, "Загрузка программы АПП\n"},
        {1, {}, "Оператор - 7\nЗавершение программы АПП\n"},
        {3, {"Автономный режим"}, "Оператор - 7\nОшибка\nАвтономный режим\n"},
        {4,
         {"41", "120.50", "3.05"},
         "Оператор - 7\nИнкассация:\n№ квитанции - 41\nИнкассированно - 120.50\nОстаток - 3.05\n"},
        {7, {"31.12.2008"}, "Оператор - 7\nОчистка базы данных АПП\nПо дату - 31.12.2008\n"},
        {13, ReceiptRangeValues("15", "27"),
         "Оператор - 7\nПолучение сводки звонков\nПо номерам квитанций:\n15 - 27\n"},
        {21, DateTimeRangeValues("01.05.2009", "23:00", "03.05.2009", "01:00"),
         "Оператор - 7\nПолучение сводки аванса\nПо дате и времени:\n01.05.2009 23:00 - "
         "03.05.2009 01:00\n"},
        {20, {"88"}, "Оператор - 7\nРасчет невостребованного\nНомер квитанции - 88\n"},
        {30,
         {"01.01.2009"},
         "Оператор - 7\nУпаковка протокола фискального принтера\nПо дату - 01.01.2009\n"},
        {34,
         {"0", "Ошибка статуса таблицы - INFO"},
         "Оператор - 7\nКритическая ошибка при работе с базой данных!\nНомер ошибки - 0\n"
         "Сообщение об ошибке - Ошибка статуса таблицы - INFO\n"},
        {35, {}, "Оператор - 7\nОшибка при перерисовке кабины!\n"},
        {36, {}, "Оператор - 7\nНеопознанное сообщение\n"},
        {-1, {}, "Оператор - 7\nНеопознанное сообщение\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OperatorLogEntry(c.event, c.values, Moment(), 7), kHead + c.lines)
            << "event " << c.event;
    }
}

TEST(OperatorLog, AppendsInWindows1251WithTheOperatorOfTheMoment) {
    testing::TempDir dir;
    VirtualClock clock(Moment());
    ScriptedPrompt prompt;
    int onDuty = 3;
    OperatorLog log(
        dir / "hdop.log", clock, [&] { return onDuty; }, prompt);
    EXPECT_TRUE(log.Write(2));
    onDuty = 5;  // a shift change between two entries
    log.LogEvent(33, {"1207"});
    const std::string expected = kHead + "Оператор - 3\nРегистрация оператора\n" + kHead +
                                 "Оператор - 5\nПечать дополнительного чека!\nНомер квитанции - "
                                 "1207\n";
    EXPECT_EQ(ReadLog(dir / "hdop.log"), Utf8ToCp1251(expected));
    EXPECT_TRUE(prompt.Asked().empty());
}

TEST(OperatorLog, AFileThatCannotBeOpenedIsReportedAndTheCallerGoesOn) {
    testing::TempDir dir;
    VirtualClock clock(Moment());
    ScriptedPrompt prompt;
    OperatorLog log(
        dir / "missing-folder" / "hdop.log", clock, [] { return 1; }, prompt);
    EXPECT_FALSE(log.Write(1));
    log.LogEvent(2);
    const auto asked = prompt.Asked();
    ASSERT_EQ(asked.size(), 2u);  // every event tells, none is retried
    EXPECT_EQ(asked[0].text, "Невозможно открыть файл hdop.log!");
    EXPECT_EQ(asked[0].caption, "Error Open");
    EXPECT_EQ(asked[0].icon, PromptIcon::Error);
}

TEST(OperatorLog, EntriesFromTwoThreadsNeverInterleave) {
    testing::TempDir dir;
    VirtualClock clock(Moment());
    ScriptedPrompt prompt;
    OperatorLog log(
        dir / "hdop.log", clock, [] { return 7; }, prompt);
    constexpr int kEach = 200;
    std::thread engine([&] {
        for (int i = 0; i < kEach; ++i) {
            log.LogEvent(34, {"0", "Ошибка статуса таблицы - INFO"});
        }
    });
    std::thread window([&] {
        for (int i = 0; i < kEach; ++i) {
            log.LogEvent(13, ReceiptRangeValues("1", "2"));
        }
    });
    engine.join();
    window.join();
    const std::string text = Cp1251ToUtf8(ReadLog(dir / "hdop.log"));
    const std::string a = OperatorLogEntry(34, {"0", "Ошибка статуса таблицы - INFO"}, Moment(), 7);
    const std::string b = OperatorLogEntry(13, ReceiptRangeValues("1", "2"), Moment(), 7);
    int countA = 0;
    int countB = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, a.size(), a) == 0) {
            ++countA;
            at += a.size();
        } else if (text.compare(at, b.size(), b) == 0) {
            ++countB;
            at += b.size();
        } else {
            FAIL() << "a torn entry at byte " << at;
        }
    }
    EXPECT_EQ(countA, kEach);
    EXPECT_EQ(countB, kEach);
}

}  // namespace
}  // namespace miradel
