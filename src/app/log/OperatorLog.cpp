#include "app/log/OperatorLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/Cp1251.h"
#include "common/DateText.h"

namespace miradel {

namespace {

struct EventText {
    const char* first;
    enum Lines { None, OneValue, PurgeDate, CashCollection, Range, DatabaseError } lines;
    const char* label = nullptr;  // the label of a one-value line
};

const EventText kEvents[] = {
    /* 0 */ {"Загрузка программы АПП\n", EventText::None},
    /* 1 */ {"Завершение программы АПП\n", EventText::None},
    /* 2 */ {"Регистрация оператора\n", EventText::None},
    /* 3 */ {"Ошибка\n", EventText::OneValue, ""},
    /* 4 */ {"Инкассация:\n", EventText::CashCollection},
    /* 5 */ {"Получение отчета по АПП\n", EventText::Range},
    /* 6 */ {"Получение отчета по платежам\n", EventText::Range},
    /* 7 */ {"Очистка базы данных АПП\n", EventText::PurgeDate},
    /* 8 */ {"Очистка базы данных входящего факса\n", EventText::PurgeDate},
    /* 9 */ {"Очистка базы данных платежей\n", EventText::PurgeDate},
    /* 10 */ {"Очистка базы данных невостребованных\n", EventText::PurgeDate},
    /* 11 */ {"Очистка протокола фискального принтера\n", EventText::PurgeDate},
    /* 12 */ {"Очистка базы данных аванса\n", EventText::PurgeDate},
    /* 13 */ {"Получение сводки звонков\n", EventText::Range},
    /* 14 */ {"Печать сводки звонков\n", EventText::None},
    /* 15 */ {"Сохранение в файле сводки звонков\n", EventText::None},
    /* 16 */ {"Получение сводки платежей\n", EventText::Range},
    /* 17 */ {"Печать сводки платежей\n", EventText::None},
    /* 18 */ {"Сохранение в файле сводки платежей\n", EventText::None},
    /* 19 */ {"Получение сводки невостребованных\n", EventText::Range},
    /* 20 */ {"Расчет невостребованного\n", EventText::OneValue, "Номер квитанции - "},
    /* 21 */ {"Получение сводки аванса\n", EventText::Range},
    /* 22 */ {"Печать сводки аванса\n", EventText::None},
    /* 23 */ {"Формирование новой таблицы обзвона\n", EventText::None},
    /* 24 */ {"Старт обзвона\n", EventText::None},
    /* 25 */ {"Стоп обзвона\n", EventText::None},
    /* 26 */ {"Упаковка базы данных АПП\n", EventText::PurgeDate},
    /* 27 */ {"Упаковка базы данных входящего факса\n", EventText::PurgeDate},
    /* 28 */ {"Упаковка базы данных платежей\n", EventText::PurgeDate},
    /* 29 */ {"Упаковка базы данных невостребованных\n", EventText::PurgeDate},
    /* 30 */ {"Упаковка протокола фискального принтера\n", EventText::PurgeDate},
    /* 31 */ {"Упаковка базы данных аванса\n", EventText::PurgeDate},
    /* 32 */ {"Ошибка аппаратуры COM-порта\n", EventText::None},
    /* 33 */ {"Печать дополнительного чека!\n", EventText::OneValue, "Номер квитанции - "},
    /* 34 */ {"Критическая ошибка при работе с базой данных!\n", EventText::DatabaseError},
    /* 35 */ {"Ошибка при перерисовке кабины!\n", EventText::None},
};

constexpr int kEventCount = static_cast<int>(sizeof kEvents / sizeof kEvents[0]);

std::string ValueAt(const std::vector<std::string>& values, std::size_t i) {
    return i < values.size() ? values[i] : std::string();
}

std::string EventLines(const EventText& event, const std::vector<std::string>& values) {
    std::string text = event.first;
    switch (event.lines) {
        case EventText::None:
            break;
        case EventText::OneValue:
            text += std::string(event.label) + ValueAt(values, 0) + "\n";
            break;
        case EventText::PurgeDate:
            text += "По дату - " + ValueAt(values, 0) + "\n";
            break;
        case EventText::CashCollection:
            text += "№ квитанции - " + ValueAt(values, 0) + "\n";
            text += "Инкассированно - " + ValueAt(values, 1) + "\n";
            text += "Остаток - " + ValueAt(values, 2) + "\n";
            break;
        case EventText::Range:
            if (values.size() == 2) {
                text += "По номерам квитанций:\n" + values[0] + " - " + values[1] + "\n";
            } else {
                text += "По дате и времени:\n" + ValueAt(values, 0) + " " + ValueAt(values, 1) +
                        " - " + ValueAt(values, 2) + " " + ValueAt(values, 3) + "\n";
            }
            break;
        case EventText::DatabaseError:
            text += "Номер ошибки - " + ValueAt(values, 0) + "\n";
            text += "Сообщение об ошибке - " + ValueAt(values, 1) + "\n";
            break;
    }
    return text;
}

// Appends all bytes or none: a failed write is cut back to the size before it.
bool AppendWhole(const std::filesystem::path& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (!ok && sized) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace

std::vector<std::string> ReceiptRangeValues(std::string first, std::string last) {
    return {std::move(first), std::move(last)};
}

std::vector<std::string> DateTimeRangeValues(std::string startDate, std::string startTime,
                                             std::string endDate, std::string endTime) {
    return {std::move(startDate), std::move(startTime), std::move(endDate), std::move(endTime)};
}

std::string OperatorLogEntry(int event, const std::vector<std::string>& values,
                             const LocalDateTime& now, int operatorOnDuty) {
    std::string text = std::string(30, '=') + "\n" + DateText(now) + "\n" + TimeText(now) + "\n";
    if (event != 0) {
        text += "Оператор - " + std::to_string(operatorOnDuty) + "\n";
    }
    if (event >= 0 && event < kEventCount) {
        text += EventLines(kEvents[event], values);
    } else {
        text += "Неопознанное сообщение\n";
    }
    return text;
}

OperatorLog::OperatorLog(std::filesystem::path file, const Clock& clock,
                         std::function<int()> operatorOnDuty, OperatorPrompt& prompt)
    : file_(std::move(file)),
      clock_(clock),
      operatorOnDuty_(std::move(operatorOnDuty)),
      prompt_(prompt) {}

void OperatorLog::LogEvent(int event, std::vector<std::string> values) {
    Write(event, values);
}

bool OperatorLog::Write(int event, const std::vector<std::string>& values) {
    // Read before the lock: the number's owner may be logging while it holds its own lock.
    const int operatorOnDuty = event != 0 && operatorOnDuty_ ? operatorOnDuty_() : 0;
    bool written = false;
    {
        std::lock_guard lock(mutex_);
        const std::string entry = OperatorLogEntry(event, values, clock_.Now(), operatorOnDuty);
        written = AppendWhole(file_, Utf8ToCp1251(entry));
    }
    if (!written) {
        prompt_.Ask(PromptRequest{kOperatorLogOpenFailed, kOperatorLogOpenCaption,
                                  PromptButtons::Ok, PromptIcon::Error});
    }
    return written;
}

}  // namespace miradel
