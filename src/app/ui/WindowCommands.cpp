#include "app/ui/WindowCommands.h"

#include <QMessageBox>

#include "app/BoothCommands.h"
#include "app/HelpPages.h"
#include "app/log/OperatorLog.h"
#include "app/ui/BoothSettingsDialog.h"
#include "printing/FiscalCommands.h"

namespace miradel {

WindowCommands::WindowCommands(Office& office, OperatorPrompt& prompt, PanelPublisher& publisher,
                               std::filesystem::path helpFolder, WindowFactories factories)
    : office_(office),
      prompt_(prompt),
      publisher_(publisher),
      helpFolder_(std::move(helpFolder)),
      factories_(std::move(factories)) {}

void WindowCommands::Connect(MainWindowHooks& hooks) {
    hooks.command = [this](MenuCommand command, int panel) { Run(command, panel); };
    hooks.closeRequest = [this] {
        // Closing by any means: the refusal and the two questions of the exit, asked once
        // even when a second close comes while they are on screen.
        if (!closing_ && !exiting_) {
            exiting_ = true;
            closing_ = office_.RequestExit() == ExitOutcome::kClosing;
            exiting_ = false;
        }
        return closing_;
    };
    hooks.topUp = [this](int panel) { TopUp(panel); };
    hooks.stateClicked = [this] {
        if (office_.TemporaryPrivileges()) {
            Privileges();
        }
    };
    hooks.help = [this](int topic) { Help(topic); };
    hooks.aroundInfo = [this](int panel) { AroundInfo(panel); };
    hooks.orderEvent = [this](int panel) {
        office_.RaiseBoothEvent(panel, 1, 0);
        publisher_.PublishSoon();
    };
    hooks.debugWindow = [this] {
        // F12 is for administrators only; for anybody else it does nothing.
        if (office_.NotAdministrator() == 0) {
            OpenWindow(MenuCommand::kDebugWindow);
        }
    };
}

void WindowCommands::Run(MenuCommand command, int panel) {
    const MenuEntry& entry = EntryOf(command, panel < 0 ? 0 : panel);
    if (!entry.guards.empty()) {
        if (auto refusal = CheckGuards(entry, office_.Facts())) {
            prompt_.Ask(*refusal);
            return;
        }
    }
    switch (command) {
        case MenuCommand::kBoothSettings:
            return BoothSettings(panel);
        case MenuCommand::kClose:
            if (window_ != nullptr) {
                window_->close();
            }
            return;
        case MenuCommand::kKassa:
        case MenuCommand::kShift:
        case MenuCommand::kCollection:
            return Kassa(command);
        case MenuCommand::kDropCall:
            return office_.DropCall();
        case MenuCommand::kBoothByNumber:
            return BoothByNumber();
        case MenuCommand::kTemporaryPrivileges:
            return Privileges();
        case MenuCommand::kXReport:
            return office_.Fiscal().XReport();
        case MenuCommand::kZReport:
            if (office_.ZReportCommand()) {
                office_.RunLogin();
            }
            return;
        case MenuCommand::kCancelTransaction:
            return office_.Fiscal().CancelTransaction();
        case MenuCommand::kFiscalCopy:
            return office_.Fiscal().CopyLastCheck(office_.OperatorOnDuty());
        case MenuCommand::kOpenDrawer:
            return office_.Fiscal().OpenDrawer();
        case MenuCommand::kRestoreLink:
            return office_.RestoreLink();
        case MenuCommand::kReadOperatorLog:
            return ReadOperatorLog();
        case MenuCommand::kHelpContents:
            return Help(kHelpContents);
        default:
            break;
    }
    if (!OpenWindow(command)) {
        NotYet(entry);
    }
}

bool WindowCommands::OpenWindow(MenuCommand command) {
    auto it = factories_.windows.find(command);
    if (it == factories_.windows.end() || !it->second) {
        return false;
    }
    it->second();
    return true;
}

void WindowCommands::BoothSettings(int panel) {
    if (panel < 0 || panel >= kBoothCount) {
        return;
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    BoothSettingsDialog dialog(panel, booth.kind, booth.boothNumber, office_.AroundPanel(),
                               window_);
    if (dialog.exec() != QDialog::Accepted || !dialog.Outcome()) {
        return;
    }
    const BoothSettingsOutcome& outcome = *dialog.Outcome();
    if (outcome.message) {
        prompt_.Ask(*outcome.message);
    }
    const int width = office_.ApplyBoothSettings(panel, outcome);
    if (window_ != nullptr) {
        window_->SetBoardWidth(width);
    }
    publisher_.PublishSoon();
}

void WindowCommands::BoothByNumber() {
    if (!factories_.boothNumber || window_ == nullptr) {
        return;
    }
    const std::optional<std::string> typed = factories_.boothNumber();
    if (!typed) {
        return;
    }
    const auto booths = office_.Snapshots();
    const int panel = PanelOfBoothNumber(booths, LeadingNumber(*typed));
    if (panel >= 0) {
        window_->ClickPanel(panel);
    }
}

void WindowCommands::Kassa(MenuCommand command) {
    if (!factories_.kassa) {
        return NotYet(EntryOf(command));
    }
    if (command == MenuCommand::kCollection) {
        if (factories_.kassa(KassaMode::kCollection) == kKassaCollected) {
            office_.CollectionBooked();
        }
        return;
    }
    const int result = factories_.kassa(KassaMode::kView);
    if (command == MenuCommand::kShift && result != 0) {
        office_.RunLogin();
    }
}

void WindowCommands::TopUp(int panel) {
    if (!factories_.topUp) {
        return;
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    if (const auto amount = factories_.topUp(panel, booth.boothNumber)) {
        office_.AddAdvance(panel, *amount);
        publisher_.PublishSoon();
    }
}

void WindowCommands::Privileges() {
    if (office_.TemporaryPrivileges()) {
        office_.DropTemporaryPrivileges();
    } else if (factories_.privilegesPassword) {
        if (const auto password = factories_.privilegesPassword()) {
            office_.TakeTemporaryPrivileges(*password);
        }
    }
    // The check mark shows the state, whatever the dialog's outcome.
    if (window_ != nullptr) {
        if (QAction* item = window_->Action(MenuCommand::kTemporaryPrivileges)) {
            item->setChecked(office_.TemporaryPrivileges());
        }
    }
}

void WindowCommands::ReadOperatorLog() {
    const std::filesystem::path log = office_.WorkDir() / kOperatorLogName;
    std::error_code ec;
    if (!std::filesystem::exists(log, ec) || !factories_.openFile || !factories_.openFile(log)) {
        prompt_.Ask(
            {kCannotOpenFile, kCannotOpenFileCaption, PromptButtons::Ok, PromptIcon::Warning});
    }
}

void WindowCommands::Help(int topic) {
    if (topic == -1) {
        topic = MainWindowHelpTopic(office_.Autonomous());
    }
    if (factories_.openFile) {
        factories_.openFile(HelpPage(helpFolder_, topic));
    }
}

void WindowCommands::AroundInfo(int) {
    if (OpenWindow(MenuCommand::kAroundInfo)) {
        return;
    }
    prompt_.Ask({kNotYetAvailable, "Обзвон", PromptButtons::Ok, PromptIcon::Information});
}

void WindowCommands::NotYet(const MenuEntry& entry) {
    prompt_.Ask({kNotYetAvailable, entry.caption.empty() ? "Miradel" : entry.caption,
                 PromptButtons::Ok, PromptIcon::Information});
}

}  // namespace miradel
