#pragma once
// The fields of app.cfg: each constant names one field by its offset (and width), and its type
// picks the accessor, so `config.Get(appcfg::kStartDelay)` reads an int32 at offset 48.
// The captions are those under which the settings windows show the field.

#include <cstdint>

namespace miradel::appcfg {

struct I32 {
    uint16_t offset;
};
struct I16 {
    uint16_t offset;
};
struct U8 {
    uint16_t offset;
};
struct Flag {  // one byte holding 0 or 1
    uint16_t offset;
};
struct F32 {
    uint16_t offset;
};
struct Text {  // Windows-1251, zero-terminated inside the field; holds width - 1 characters
    uint16_t offset;
    uint16_t width;
};
struct Chars {  // fixed characters, not terminated
    uint16_t offset;
    uint16_t width;
};
struct U8Array {
    uint16_t offset;
    uint16_t count;
};

inline constexpr std::size_t kSize = 632;

inline constexpr I32 kComPortApp{0};            // "COM - АПП", 0..7 for COM1..COM8
inline constexpr I32 kReserved4{4};             // written as 2 on creation, never read
inline constexpr I32 kLegacyReceiptCounter{8};  // receipt lookup shows this minus 1
inline constexpr I32 kFontColour{12};
inline constexpr I32 kFontHeight{16};
inline constexpr U8 kFontPitch{20};  // 2 (fixed pitch) once a font is chosen
inline constexpr I32 kFontPixelsPerInch{24};
inline constexpr I32 kFontSize{28};
inline constexpr U8 kFontStyle{32};
inline constexpr I32 kReceiptColumns{36};    // "Колонки": 0 one column, 1 two columns
inline constexpr I32 kColumnDistance{40};    // "Дистанция"
inline constexpr I32 kFeedLines{44};         // "Протяжка"
inline constexpr I32 kStartDelay{48};        // "Задержка старта"
inline constexpr Flag kPrintAdvance{52};     // "Печать аванса"
inline constexpr Flag kPrintSettlement{53};  // "Печать расчета"
inline constexpr Flag kWriteAppLog{54};      // "Запись app.log"
inline constexpr I32 kStartDigit{56};        // "Цифра старта", 1..10 (10 is the digit 0)
inline constexpr I32 kAutoTariffStart{60};  // "Старт тарифа авт.": 0 digit, 1 polarity reversal
inline constexpr I32 kLocalMinimumMinutes{64};  // "Min. время гор."
inline constexpr I32 kErrorReaction{68};   // "Реакция на ошибку": 0 block, 1 reset
inline constexpr I32 kReserved72{72};      // written as 0 when main options are applied
inline constexpr I32 kFaxPagePrice{76};    // "Цена 1 страницы", hundredths
inline constexpr F32 kFaxCoefficient{80};  // "Факс-коэффиц."
inline constexpr I32 kAroundSeriesPause{84};  // tenths of a second
inline constexpr I32 kAroundAnswerWait{88};   // seconds
inline constexpr I32 kAroundPanel{92};        // panel of the dial-around booth, -1 none
inline constexpr U8 kReserved96{96};
inline constexpr I32 kAroundRemaining{100};
inline constexpr I32 kAroundPosition{104};
inline constexpr Chars kAroundHours{108, 24};  // "Часы работы": '1' or '0' per hour
inline constexpr I32 kNextIncomingFax{132};    // "№ входящего факса"
inline constexpr Flag kPrintIncomingFax{136};  // "Печать вх. факса"
inline constexpr Flag kAroundOnlyAllowedCalls{137};  // "Только допустимое к-во звонков"
inline constexpr I16 kAroundAllowedCalls{138};  // "Допустимое к-во звонков"
inline constexpr Text kGsmPrefix{140, 24};      // "Префикс GSM"
inline constexpr Text kInternationalPrefix{164, 24};  // "Префикс интер."
inline constexpr I16 kInductorBlockSeconds{188};      // "Блок. индукт. (с.)"
inline constexpr Flag kLcdTerminals{190};             // "Терминалы ЖКИ"
inline constexpr I32 kAroundTestNumber{192};
inline constexpr Text kAroundMessageFile{196, 128};  // "Имя файла сообщения"
inline constexpr I32 kAroundTableSize{324};          // "Требуется обзвонить"
inline constexpr I16 kAroundPass{328};               // "Проход"
inline constexpr I32 kAroundAttempts{332};           // "Всего попыток"
inline constexpr I32 kAroundSuccesses{336};          // "Успешных попыток"
inline constexpr Chars kAroundTableDate{340, 32};  // "Дата формирования таблицы - "
inline constexpr I32 kFaxTariffStart{372};         // "Старт тарифа факс"
inline constexpr I16 kGraceTime{376};              // "Льготное время"
inline constexpr Text kVipPrefix{378, 26};         // "Префикс vIP"
inline constexpr I32 kLastCollectedReceipt{404};  // last receipt of the last collection
inline constexpr I32 kNextOrderReceipt{408};      // "№ квитанции заказа"
inline constexpr Flag kOrderIntake{412};          // "Прием заказа"
inline constexpr Flag kOrderSettlement{413};      // "Расчет заказа"
inline constexpr Flag kRemoteAround{414};         // "Удаленный обзвон"
inline constexpr Text kRemoteStationAddress{415, 64};
inline constexpr Flag kStartByTime{479};        // "Старт по времени"
inline constexpr I16 kStartByTimeSeconds{480};  // "Старт тариф. (с.)"
inline constexpr I32 kReceiptDevice{484};  // "Чеки и отчеты на": 0 printer, 1 130Ф, 2 114.1Ф
inline constexpr I32 kComPortFiscal{488};            // "COM - ККМ"
inline constexpr I32 kComPortLcd{492};               // "COM - ЖКИ+DTMF"
inline constexpr Flag kLightingControl{496};         // "Упр. освещением"
inline constexpr Flag kDtmf{497};                    // "Вкл. DTMF"
inline constexpr Flag kPayments{498};                // "Платежи"
inline constexpr I16 kOrderSection{500};             // "№ секции заказа"
inline constexpr Text kOrderSectionName{502, 24};    // "Название секции"
inline constexpr I16 kIncomingFaxSection{526};       // "№ сек. вх. факса"
inline constexpr Flag kFiscalProtocol{528};          // "Протокол ККМ"
inline constexpr Flag kLaserPrinter{529};            // "Лазерный принтер"
inline constexpr U8Array kLampMap{530, 16};          // lamp output of booths 1..16
inline constexpr Flag kShortPolarity{546};           // "Короткая п/п-ка"
inline constexpr I32 kNextBoothReceipt{548};         // "№ квитанции АПП"
inline constexpr Flag kSummariesToSpreadsheet{552};  // "Сводки в Excel"
inline constexpr Flag kReportsToFiscal{553};         // "Отчеты -> ККМ"
inline constexpr I32 kShiftStartReceipt{556};        // receipt number at the shift's start
inline constexpr I16 kOperatorOnDuty{560};
inline constexpr Flag kReportPreview{562};  // "Вкл. предпросмотр"
inline constexpr Flag kExtraChargeOn{563};  // "Дополнительная стоимость", "Включить"
inline constexpr I32 kExtraChargeGraceSeconds{564};  // "Льготное время (с.)"
inline constexpr I32 kExtraChargePrice{568};         // "Стоимость (ban)"
inline constexpr I16 kWorkplace{572};                // "№ рабочего места"
inline constexpr Text kFiscalPassword{574, 24};      // "Паспорт ККМ"
inline constexpr Flag kCollectionWithZReport{598};   // "Инкассация + Z-отчет"
inline constexpr Flag kClearByCalledParty{599};      // "Отбой абонента Б"
inline constexpr Flag kIdleControl{600};  // "Простой кабины", "Вкл. контроль"
inline constexpr I32 kIdleMaxSeconds{604};  // "Max. время (с.)"
inline constexpr Flag kAdvanceLog{608};     // "Протокол аванса"
inline constexpr Flag kFeedAndCut{609};     // "Вкл. прогон и отрез"
inline constexpr I32 kProcessPriority{612};  // "Приоритет програмы": 0 normal, 1 high, 2 real time
inline constexpr Flag kZReportTimeSync{616};  // "Z-отчет + синхронизация времени"
inline constexpr Flag kServiceWithoutPolarity{617};  // "Сервис без п/полюсовки"
inline constexpr Flag kKeepAroundOnDisconnect{618};  // "Не откл. обзвон при дисконнекте"
inline constexpr Flag kOneSecondCorrection{619};  // "Коррекция 1 сек."
inline constexpr Flag kAroundNoDialControl{620};  // "Отключить контроль набора ав-обзвона"
inline constexpr I32 kAroundNextRecord{624};
inline constexpr Flag kAroundMoveCursor{628};  // "Перемещать курсор обзвона при формировании"

}  // namespace miradel::appcfg
