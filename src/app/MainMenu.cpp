#include "app/MainMenu.h"

#include "app/config/AppConfigFields.h"
#include "booths/BoothKinds.h"
#include "booths/BoothReceiptPrinter.h"

namespace miradel {

namespace {

using G = Guard;
using C = MenuCommand;

constexpr const char* kOptions = "Опции";
constexpr const char* kShiftMenu = "Смена";
constexpr const char* kOrders = "Заказ";
constexpr const char* kService = "Сервис";
constexpr const char* kDatabase = "База данных";
constexpr const char* kPayments = "Платежи";
constexpr const char* kAround = "Обзвон";
constexpr const char* kHelp = "Помощь";
constexpr const char* kBoothsSubmenu = "Кабины";
constexpr const char* kRepairSubmenu = "Восстановление базы данных";

std::vector<MenuEntry> BuildEntries() {
    std::vector<MenuEntry> e;
    auto add = [&e](const char* menu, const char* caption, const char* shortcut, C command,
                    std::vector<G> guards, Visibility visibility = Visibility::kAlways,
                    bool separator = false) {
        e.push_back(
            {menu, "", caption, shortcut, command, std::move(guards), visibility, -1, separator});
    };
    add(kOptions, "АПП", "", C::kMainOptions, {G::kAdministrator});
    for (int panel = 0; panel < 16; ++panel) {
        e.push_back({kOptions,
                     kBoothsSubmenu,
                     "Кабина " + std::to_string(panel + 1),
                     "",
                     C::kBoothSettings,
                     {G::kAdministrator, G::kBoothIdle},
                     Visibility::kAlways,
                     panel,
                     false});
    }
    add(kOptions, "COM - порт", "", C::kComPort, {G::kAutonomous, G::kAdministrator});
    add(kOptions, "Принтер", "", C::kPrinter, {G::kAdministrator});
    add(kOptions, "ЖКИ - терминалы", "", C::kLcdTerminals, {G::kAdministrator});
    add(kOptions, "Освещение", "", C::kLighting, {G::kAdministrator});
    add(kOptions, "Паспорт", "", C::kPasswords, {G::kAdministrator});
    add(kOptions, "Закрыть", "Alt+X", C::kClose, {}, Visibility::kAlways, true);

    add(kShiftMenu, "Касса", "Ctrl+K", C::kKassa, {});
    add(kShiftMenu, "Смена", "Ctrl+C", C::kShift, {G::kNoActiveBooth});
    add(kShiftMenu, "Инкассация", "Ctrl+I", C::kCollection, {G::kNoActiveBooth});

    add(kOrders, "Прием заказа", "Ctrl+Z", C::kOrderIntake, {});
    add(kOrders, "Расчет заказа", "Ctrl+R", C::kOrderSettlement, {});
    add(kOrders, "Коррекция услуг", "", C::kOrderServices, {G::kAdministrator}, Visibility::kAlways,
        true);
    add(kOrders, "Коррекция исполнения", "", C::kOrderMarks, {G::kAdministrator});
    add(kOrders, "Очистка базы заказа", "", C::kOrderPurge,
        {G::kNoActiveBoothAtAll, G::kAdministrator}, Visibility::kAlways, true);

    add(kService, "Календарь", "Alt+C", C::kCalendar, {});
    add(kService, "Справка", "Alt+S", C::kReference, {});
    add(kService, "Снять вызов", "Ctrl+B", C::kDropCall, {}, Visibility::kAlways, true);
    add(kService, "Кабина", "Alt+K", C::kBoothByNumber, {});
    add(kService, "Временные привилегии", "", C::kTemporaryPrivileges, {});
    add(kService, "Поиск квитанции", "", C::kReceiptLookup, {G::kAdministrator});
    add(kService, "Сброс БУОТ", "", C::kResetLcdUnit, {G::kAdministrator});
    add(kService, "X - отчет", "", C::kXReport, {}, Visibility::kFiscal1141, true);
    add(kService, "Z - отчет", "", C::kZReport, {}, Visibility::kFiscal1141);
    add(kService, "Отменить транзакцию", "", C::kCancelTransaction, {}, Visibility::kFiscal1141);
    add(kService, "Копия фискального чека", "", C::kFiscalCopy, {}, Visibility::kFiscal1141);
    add(kService, "Открыть денежный ящик", "Ctrl+O", C::kOpenDrawer, {}, Visibility::kFiscal1141);
    add(kService, "Восстановить связь", "", C::kRestoreLink, {}, Visibility::kNever);
    add(kService, "Читать протокол МБ(app.log)", "", C::kReadAppLog, {G::kAdministrator},
        Visibility::kAlways, true);
    add(kService, "Читать протокол оператора(hdop.log)", "", C::kReadOperatorLog,
        {G::kAdministrator});

    add(kDatabase, "Сводка звонков АПП", "", C::kCallSummary, {});
    add(kDatabase, "Отчет АПП", "", C::kCallReport, {});
    add(kDatabase, "Очистка базы звонков АПП", "", C::kPurgeCalls,
        {G::kNoActiveBoothAtAll, G::kAdministrator});
    add(kDatabase, "Расчет входящего факса", "", C::kIncomingFax, {}, Visibility::kAlways, true);
    add(kDatabase, "Отчет входящего факса", "", C::kIncomingFaxReport, {});
    add(kDatabase, "Очистка базы входящего факса", "", C::kPurgeIncomingFax, {G::kAdministrator});
    add(kDatabase, "Сводка платежей", "", C::kPaymentSummary, {}, Visibility::kAlways, true);
    add(kDatabase, "Отчет платежей", "", C::kPaymentReport, {});
    add(kDatabase, "Очистка базы платежей", "", C::kPurgePayments, {G::kAdministrator});
    add(kDatabase, "Невостребованные", "", C::kUnclaimed, {}, Visibility::kAlways, true);
    add(kDatabase, "Очистка базы невостребованных", "", C::kPurgeUnclaimed, {G::kAdministrator});
    add(kDatabase, "Протокол фиск. принтера", "", C::kFiscalProtocol, {}, Visibility::kAlways,
        true);
    add(kDatabase, "Очистка протокола", "", C::kPurgeFiscalProtocol, {});
    add(kDatabase, "Аванс", "", C::kAdvanceLog, {}, Visibility::kAlways, true);
    add(kDatabase, "Очистка аванса", "", C::kPurgeAdvances, {G::kAdministrator});
    for (auto [caption, command] : {std::pair{"Реиндексация базы данных", C::kReindex},
                                    std::pair{"Ремонт таблиц базы данных", C::kRepairTables}}) {
        e.push_back({kDatabase,
                     kRepairSubmenu,
                     caption,
                     "",
                     command,
                     {G::kAdministrator, G::kAutonomousRepair},
                     Visibility::kAlways,
                     -1,
                     command == C::kReindex});
    }

    add(kPayments, "Редактирование", "", C::kPaymentKinds, {G::kAdministrator});
    add(kPayments, "Прием платежа", "", C::kPaymentAccept, {});

    add(kAround, "Формирование таблицы", "", C::kAroundTable, {});
    add(kAround, "Коррекция", "", C::kAroundCorrection, {});
    add(kAround, "Сводная ведомость", "", C::kAroundSummary, {});
    add(kAround, "Очистка базы данных", "", C::kAroundPurge, {});
    add(kAround, "Режим работы", "", C::kAroundMode, {G::kAdministrator}, Visibility::kAlways,
        true);
    add(kAround, "Проверка звука", "", C::kAroundSoundCheck, {});

    add(kHelp, "Справка АПП", "", C::kHelpContents, {});
    add(kHelp, "О программе", "", C::kAbout, {});
    return e;
}

bool BoothActive(const BoothSnapshot& s) {
    return s.state != 0 && s.state != 1;
}

PromptRequest Refusal(const char* text, const char* caption) {
    return {text, caption, PromptButtons::Ok, PromptIcon::Warning};
}

}  // namespace

const std::vector<MenuEntry>& MainMenuEntries() {
    static const std::vector<MenuEntry> entries = BuildEntries();
    return entries;
}

const std::vector<std::string>& MainMenuTitles() {
    static const std::vector<std::string> titles{kOptions,  kShiftMenu, kOrders, kService,
                                                 kDatabase, kPayments,  kAround, kHelp};
    return titles;
}

const std::vector<ToolButton>& ToolBarButtons() {
    static const std::vector<ToolButton> buttons{
        {"Смена", C::kShift},
        {"Касса", C::kKassa},
        {"Инкассация", C::kCollection},
        {"Справка", C::kReference},
        {"Старт/Стоп обзвона", C::kAroundStartStop},
        {"Режим работы обзвона", C::kAroundMode},
        {"Прием заказа", C::kOrderIntake},
        {"Расчет заказа", C::kOrderSettlement},
        {"Прием платежей", C::kPaymentAccept},
        {"Открыть денежный ящик", C::kOpenDrawer},
    };
    return buttons;
}

std::optional<PromptRequest> CheckGuards(std::span<const Guard> guards, const GuardFacts& facts,
                                         int panel) {
    for (Guard guard : guards) {
        switch (guard) {
            case G::kAdministrator:
                if (!facts.administrator) {
                    return Refusal("Права доступа не администратора!", "Error Access");
                }
                break;
            case G::kBoothIdle:
                if (panel >= 0 && panel < 16 && BoothActive(facts.booths[panel])) {
                    return Refusal("Кабина активна!", "Error Access");
                }
                break;
            case G::kNoActiveBooth:
            case G::kNoActiveBoothAtAll:
                for (const BoothSnapshot& s : facts.booths) {
                    const bool around = s.kind == kKindAround && guard == G::kNoActiveBooth;
                    if (BoothActive(s) && !around) {
                        return Refusal("Одна из кабин активна!", "Error Close");
                    }
                }
                break;
            case G::kAutonomous:
                if (!facts.autonomous) {
                    return Refusal("Требуется перевести программу в режим АВТОНОМ",
                                   "Error Avtonom");
                }
                break;
            case G::kAutonomousRepair:
                if (!facts.autonomous) {
                    return Refusal("Перевести программу в режим АВТОНОМ", "Error Avtonom");
                }
                break;
        }
    }
    return std::nullopt;
}

std::optional<PromptRequest> CheckGuards(const MenuEntry& entry, const GuardFacts& facts) {
    return CheckGuards(entry.guards, facts, entry.panel);
}

const MenuEntry& EntryOf(MenuCommand command, int panel) {
    for (const MenuEntry& entry : MainMenuEntries()) {
        if (entry.command == command && (command != C::kBoothSettings || entry.panel == panel)) {
            return entry;
        }
    }
    // Tool-bar-only commands have no guards of their own.
    static const MenuEntry none{"", "",   "", "", C::kAroundStartStop, {}, Visibility::kAlways,
                                -1, false};
    return none;
}

MenuSetup MenuSetupFor(const AppConfig& config, bool lcdPortOpen) {
    MenuSetup setup;
    const int32_t device = config.Get(appcfg::kReceiptDevice);
    setup.fiscal1141 = device == kReceiptMercury1141F;
    setup.paymentsMenu = device != kReceiptPrinter && config.Get(appcfg::kPayments);
    setup.ordersEnabled = config.Get(appcfg::kOrderIntake) && config.Get(appcfg::kOrderSettlement);
    setup.resetLcdEnabled = lcdPortOpen;
    setup.remoteAround = config.Get(appcfg::kRemoteAround);
    return setup;
}

bool EntryVisible(const MenuEntry& entry, const MenuSetup& setup) {
    switch (entry.visibility) {
        case Visibility::kAlways:
            return true;
        case Visibility::kNever:
            return false;
        case Visibility::kFiscal1141:
            return setup.fiscal1141;
    }
    return true;
}

bool EntryEnabled(const MenuEntry& entry, const MenuSetup& setup) {
    if (entry.command == C::kResetLcdUnit) {
        return setup.resetLcdEnabled;
    }
    return MenuEnabled(entry.menu, setup);
}

bool MenuVisible(const std::string& menu, const MenuSetup& setup) {
    return menu != kPayments || setup.paymentsMenu;
}

bool MenuEnabled(const std::string& menu, const MenuSetup& setup) {
    if (menu == kOrders) {
        return setup.ordersEnabled;
    }
    if (menu == kAround) {
        return !setup.remoteAround;
    }
    return true;
}

bool ToolButtonEnabled(MenuCommand command, const MenuSetup& setup) {
    switch (command) {
        case C::kAroundStartStop:
        case C::kAroundMode:
            return !setup.remoteAround;
        case C::kOrderIntake:
        case C::kOrderSettlement:
            return setup.ordersEnabled;
        case C::kPaymentAccept:
            return setup.paymentsMenu;
        case C::kOpenDrawer:
            return setup.fiscal1141;
        default:
            return true;
    }
}

}  // namespace miradel
