#pragma once
// The main window's menu and tool bar without their widgets: every item with its caption,
// shortcut and guards, which items the options show or enable, and the guard check that a
// command passes before it runs. The Qt window builds its menus from this table and asks
// CheckGuards before it acts; the headless channel asks the same.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/config/AppConfig.h"
#include "booths/BoothSnapshot.h"
#include "common/OperatorPrompt.h"

namespace miradel {

enum class MenuCommand {
    // "Опции"
    kMainOptions,
    kBoothSettings,  // "Кабина 1" … "Кабина 16": the entry's panel says which
    kComPort,
    kPrinter,
    kLcdTerminals,
    kLighting,
    kPasswords,
    kClose,
    // "Смена"
    kKassa,
    kShift,
    kCollection,
    // "Заказ"
    kOrderIntake,
    kOrderSettlement,
    kOrderServices,
    kOrderMarks,
    kOrderPurge,
    // "Сервис"
    kCalendar,
    kReference,
    kDropCall,
    kBoothByNumber,
    kTemporaryPrivileges,
    kReceiptLookup,
    kResetLcdUnit,
    kXReport,
    kZReport,
    kCancelTransaction,
    kFiscalCopy,
    kOpenDrawer,
    kRestoreLink,
    kReadAppLog,
    kReadOperatorLog,
    // "База данных"
    kCallSummary,
    kCallReport,
    kPurgeCalls,
    kIncomingFax,
    kIncomingFaxReport,
    kPurgeIncomingFax,
    kPaymentSummary,
    kPaymentReport,
    kPurgePayments,
    kUnclaimed,
    kPurgeUnclaimed,
    kFiscalProtocol,
    kPurgeFiscalProtocol,
    kAdvanceLog,
    kPurgeAdvances,
    kReindex,
    kRepairTables,
    // "Платежи"
    kPaymentKinds,
    kPaymentAccept,
    // "Обзвон"
    kAroundTable,
    kAroundCorrection,
    kAroundSummary,
    kAroundPurge,
    kAroundMode,
    kAroundSoundCheck,
    // "Помощь"
    kHelpContents,
    kAbout,
    // tool bar only
    kAroundStartStop,
    // neither menu nor tool bar: F12, and a click on the dial-around booth's panel
    kDebugWindow,
    kAroundInfo,
};

enum class Guard {
    kAdministrator,
    kBoothIdle,           // the entry's own booth is disabled or switched off
    kNoActiveBooth,       // S: a dial-around booth never counts as active
    kNoActiveBoothAtAll,  // S for the purges of calls and orders: the dial-around booth counts
    kAutonomous,          // M
    kAutonomousRepair,    // M with the wording of the two database repair commands
};

// What the options and the start-up decide about an item.
enum class Visibility {
    kAlways,
    kNever,       // "Восстановить связь": present, never shown
    kFiscal1141,  // only with the Меркурий 114.1Ф
};

struct MenuEntry {
    std::string menu;     // top-level menu caption
    std::string submenu;  // "" or the caption of the submenu holding the item
    std::string caption;
    std::string shortcut;  // Qt's portable text ("Ctrl+K", "Alt+X"), "" for none
    MenuCommand command;
    std::vector<Guard> guards;  // tested in this order
    Visibility visibility = Visibility::kAlways;
    int panel = -1;  // kBoothSettings: 0..15
    bool separatorBefore = false;
};

// The whole menu tree in display order.
const std::vector<MenuEntry>& MainMenuEntries();
// The top-level menus in display order.
const std::vector<std::string>& MainMenuTitles();

struct ToolButton {
    std::string hint;
    MenuCommand command;
};
// The tool bar, left to right; the "Remote" label stands after the second dial-around button.
const std::vector<ToolButton>& ToolBarButtons();

// What the guards look at.
struct GuardFacts {
    bool administrator = false;  // the not-administrator mark is 0
    bool autonomous = false;     // the autonomous mark is set
    std::array<BoothSnapshot, 16> booths{};
};

// The first guard of the entry that refuses, as the message the window shows; nothing when
// the command may run.
std::optional<PromptRequest> CheckGuards(const MenuEntry& entry, const GuardFacts& facts);
std::optional<PromptRequest> CheckGuards(std::span<const Guard> guards, const GuardFacts& facts,
                                         int panel = -1);

// The entry of a command (for kBoothSettings the one of `panel`).
const MenuEntry& EntryOf(MenuCommand command, int panel = 0);

// What the start-up and the options make of the menus and buttons.
struct MenuSetup {
    bool fiscal1141 = false;    // the 114.1Ф commands and the drawer button
    bool paymentsMenu = true;   // the "Платежи" menu and the payments button
    bool ordersEnabled = true;  // the "Заказ" menu and both order buttons
    bool resetLcdEnabled = false;
    bool remoteAround = false;  // dial-around buttons and menu disabled, "Remote" shown
};

// `lcdPortOpen`: the LCD/DTMF port was opened at start-up.
MenuSetup MenuSetupFor(const AppConfig& config, bool lcdPortOpen);

// Whether a menu item is shown and enabled under a setup.
bool EntryVisible(const MenuEntry& entry, const MenuSetup& setup);
bool EntryEnabled(const MenuEntry& entry, const MenuSetup& setup);
bool MenuVisible(const std::string& menu, const MenuSetup& setup);
bool MenuEnabled(const std::string& menu, const MenuSetup& setup);
bool ToolButtonEnabled(MenuCommand command, const MenuSetup& setup);

// F1 on the main window.
inline constexpr int kHelpTopicAutonomous = 600;
inline constexpr int kHelpTopicMain = 100;
inline int MainWindowHelpTopic(bool autonomous) {
    return autonomous ? kHelpTopicAutonomous : kHelpTopicMain;
}

}  // namespace miradel
