#include "app/options/MainOptionsControls.h"

namespace miradel {

using namespace appcfg;

namespace {

using Page = OptionsPage;

OptionControl Integer(Page page, std::string caption, OptionField field, int digits = 0,
                      bool absolute = false, std::string group = {}) {
    return {std::move(caption),
            std::move(group),
            page,
            OptionKind::kInteger,
            field,
            digits,
            absolute,
            {}};
}

OptionControl TextEdit(Page page, std::string caption, Text field) {
    return {std::move(caption), {}, page, OptionKind::kText, field, 0, false, {}};
}

OptionControl Check(Page page, std::string caption, Flag field, std::string group = {}) {
    return {std::move(caption), std::move(group), page, OptionKind::kCheck, field, 0, false, {}};
}

OptionControl Choice(Page page, std::string caption, I32 field, std::vector<std::string> texts) {
    return {std::move(caption), {}, page, OptionKind::kChoice, field, 0, false, std::move(texts)};
}

std::vector<OptionControl> BuildControls() {
    const std::vector<std::string> tariffStart = {"Цифра", "Переполюсовка"};
    return {
        // Общие
        Check(Page::kGeneral, "Запись app.log", kWriteAppLog),
        Choice(Page::kGeneral, "Приоритет програмы", kProcessPriority,
               {"Нормальный", "Высокий", "Реального времени"}),
        Choice(Page::kGeneral, "Реакция на ошибку", kErrorReaction, {"Блокировка", "Сброс"}),
        Integer(Page::kGeneral, "№ рабочего места", kWorkplace, 2),
        Check(Page::kGeneral, "Протокол аванса", kAdvanceLog),
        Check(Page::kGeneral, "Сводки в Excel", kSummariesToSpreadsheet),
        Check(Page::kGeneral, "Прием заказа", kOrderIntake),
        Check(Page::kGeneral, "Расчет заказа", kOrderSettlement),
        Integer(Page::kGeneral, "№ секции заказа", kOrderSection, 2),
        TextEdit(Page::kGeneral, "Название секции", kOrderSectionName),
        Integer(Page::kGeneral, "№ квитанции заказа", kNextOrderReceipt),
        Check(Page::kGeneral, "Платежи", kPayments),
        Check(Page::kGeneral, "Удаленный обзвон", kRemoteAround),
        TextEdit(Page::kGeneral, "Адрес удаленной станции", kRemoteStationAddress),
        Check(Page::kGeneral, "Не откл. обзвон при дисконнекте", kKeepAroundOnDisconnect),
        Check(Page::kGeneral, "Отключить контроль набора ав-обзвона", kAroundNoDialControl),
        Check(Page::kGeneral, "Перемещать курсор обзвона при формировании", kAroundMoveCursor),
        Check(Page::kGeneral, "Вкл. контроль", kIdleControl, "Простой кабины"),
        Integer(Page::kGeneral, "Max. время (с.)", kIdleMaxSeconds, 3, true, "Простой кабины"),
        // Тарифы
        Integer(Page::kTariffs, "Цифра старта", kStartDigit),
        Integer(Page::kTariffs, "Задержка старта", kStartDelay),
        Choice(Page::kTariffs, "Старт тарифа авт.", kAutoTariffStart, tariffStart),
        Choice(Page::kTariffs, "Старт тарифа факс", kFaxTariffStart, tariffStart),
        Check(Page::kTariffs, "Старт по времени", kStartByTime),
        Integer(Page::kTariffs, "Старт тариф. (с.)", kStartByTimeSeconds, 2),
        Integer(Page::kTariffs, "Min. время гор.", kLocalMinimumMinutes),
        Integer(Page::kTariffs, "Льготное время", kGraceTime, 1),
        Check(Page::kTariffs, "Коррекция 1 сек.", kOneSecondCorrection),
        Check(Page::kTariffs, "Короткая п/п-ка", kShortPolarity),
        Check(Page::kTariffs, "Отбой абонента Б", kClearByCalledParty),
        Check(Page::kTariffs, "Сервис без п/полюсовки", kServiceWithoutPolarity),
        Integer(Page::kTariffs, "Блок. индукт. (с.)", kInductorBlockSeconds, 1),
        TextEdit(Page::kTariffs, "Префикс GSM", kGsmPrefix),
        TextEdit(Page::kTariffs, "Префикс интер.", kInternationalPrefix),
        TextEdit(Page::kTariffs, "Префикс vIP", kVipPrefix),
        Check(Page::kTariffs, "Включить", kExtraChargeOn, "Дополнительная стоимость"),
        Integer(Page::kTariffs, "Льготное время (с.)", kExtraChargeGraceSeconds, 1, true,
                "Дополнительная стоимость"),
        Integer(Page::kTariffs, "Стоимость (ban)", kExtraChargePrice, 3, true,
                "Дополнительная стоимость"),
        {"Цена 1 страницы",
         {},
         Page::kTariffs,
         OptionKind::kPagePrice,
         kFaxPagePrice,
         0,
         false,
         {}},
        {"Факс-коэффиц.", {}, Page::kTariffs, OptionKind::kReal, kFaxCoefficient, 0, false, {}},
        Integer(Page::kTariffs, "№ входящего факса", kNextIncomingFax),
        Integer(Page::kTariffs, "№ сек. вх. факса", kIncomingFaxSection, 2),
        // Печать
        Choice(Page::kPrinting, "Чеки и отчеты на", kReceiptDevice,
               {"Принтер", "Меркурий 130Ф", "Меркурий 114.1Ф"}),
        Integer(Page::kPrinting, "№ квитанции АПП", kNextBoothReceipt),
        Check(Page::kPrinting, "Печать аванса", kPrintAdvance),
        Check(Page::kPrinting, "Печать расчета", kPrintSettlement),
        Check(Page::kPrinting, "Печать вх. факса", kPrintIncomingFax),
        Check(Page::kPrinting, "Лазерный принтер", kLaserPrinter),
        Check(Page::kPrinting, "Вкл. предпросмотр", kReportPreview),
        Check(Page::kPrinting, "Вкл. прогон и отрез", kFeedAndCut),
        Check(Page::kPrinting, "Отчеты -> ККМ", kReportsToFiscal),
        Check(Page::kPrinting, "Инкассация + Z-отчет", kCollectionWithZReport),
        Check(Page::kPrinting, "Z-отчет + синхронизация времени", kZReportTimeSync),
        // Устройства
        Check(Page::kDevices, "Терминалы ЖКИ", kLcdTerminals),
        Check(Page::kDevices, "Вкл. DTMF", kDtmf),
        Check(Page::kDevices, "Упр. освещением", kLightingControl),
        Check(Page::kDevices, "Протокол ККМ", kFiscalProtocol),
        TextEdit(Page::kDevices, "Паспорт ККМ", kFiscalPassword),
    };
}

}  // namespace

std::string_view OptionsPageName(OptionsPage page) {
    switch (page) {
        case OptionsPage::kGeneral:
            return "Общие";
        case OptionsPage::kTariffs:
            return "Тарифы";
        case OptionsPage::kPrinting:
            return "Печать";
        case OptionsPage::kDevices:
            return "Устройства";
    }
    return {};
}

int OptionControl::TextCapacity() const {
    if (const auto* text = std::get_if<Text>(&field)) {
        return text->width - 1;
    }
    return 0;
}

const std::vector<OptionControl>& MainOptionsControls() {
    static const std::vector<OptionControl> controls = BuildControls();
    return controls;
}

}  // namespace miradel
