#include "printing/FiscalProtocolTexts.h"

#include <array>

namespace miradel {

namespace {

constexpr const char* kUnknown = "Неопознанная ошибка";

}  // namespace

std::string M130ProtocolText(int code) {
    switch (code) {
        case 0:
            return "НОРМА";
        case 1:
            return "Ошибка передачи";
        case 2:
            return "Ошибка данных ККМ";
        case 3:
            return "Переполнение сч. ККМ";
        case 4:
            return "Пустой чек";
        case 5:
            return "Недопустимая опер.";
        case kM130CloseFailed:
            return "Ошибка закр. чека";
        default:
            return kUnknown;
    }
}

std::string M114ProtocolText(int code) {
    switch (code) {
        case 0:
            return "НОРМА";
        case kM114DayOpened:
            return "Открыта смена ККМ";
        case kM114DayClosed:
            return "Закрыта смена ККМ";
        case kM114DayWasOpen:
            return "Статус-открыта смена";
        default:
            return kUnknown;
    }
}

std::string M114ComponentErrorText(int code) {
    static constexpr std::array<const char*, 18> kTexts = {
        "Соединение не закрыто", "Соединение не открыто", "ККМ не отвечает",
        "ККМ не опознана",       "Ошибка перекодировки",  "Опер. не поддер. ККМ",
        "Слишком много позиций", "Нет откр. фиск. док.",  "Фиск. док. уже откр.",
        "Операция не допустима", "Операция не поддер.",   "Дублир. не допустимо",
        "Отсутствует реквизит",  "Неверный аргумент",     "Неверный ответ ККМ",
        "Недостаточно памяти",   "Ошибка опер. системы",  "Ошибка ККМ",
    };
    if (code >= 1 && code <= static_cast<int>(kTexts.size())) {
        return kTexts[code - 1];
    }
    return kUnknown;
}

}  // namespace miradel
