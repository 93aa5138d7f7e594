#include "app/Headless.h"

#include <charconv>
#include <sstream>

#include "app/config/AppConfigFields.h"
#include "cashdesk/AdvanceDialogModel.h"
#include "cashdesk/Kassa.h"
#include "cashdesk/TopUpDialogModel.h"
#include "common/Money.h"

namespace miradel {

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

std::vector<std::string> Error(std::string text) {
    return {"error " + std::move(text)};
}

std::vector<std::string> Ok(std::string text = {}) {
    return {text.empty() ? std::string("ok") : "ok " + text};
}

}  // namespace

int ParsePanel(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kBoothCount) {
        return -1;
    }
    return value - 1;
}

HeadlessCommands::HeadlessCommands(Office& office, std::function<void(int64_t ms)> wait)
    : office_(office), wait_(std::move(wait)) {}

std::vector<std::string> HeadlessCommands::Execute(std::string_view line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) {
        return Error("empty command");
    }
    const std::string& cmd = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (cmd == "login") {
        return Login(args);
    }
    if (cmd == "wait") {
        return Wait(args);
    }
    if (cmd == "show") {
        if (args.size() == 1 && args[0] == "booths") {
            return ShowBooths();
        }
        if (args.size() == 1 && args[0] == "kassa") {
            return ShowKassa();
        }
        if (args.size() == 1 && args[0] == "state") {
            return ShowState();
        }
        if (!args.empty() && args[0] == "config") {
            return ShowConfig(args);
        }
        return Error("show booths|kassa|state|config OFFSET");
    }
    if (cmd == "quit") {
        return QuitCommand();
    }
    if (cmd == "privileges") {
        return Privileges(args);
    }
    if (office_.Phase() != kPhaseRunning) {
        return Error("the office is not running");
    }
    if (cmd == "advance" || cmd == "settle" || cmd == "topup") {
        return RunPanelCommand(cmd, args);
    }
    if (cmd == "booth") {
        return Booth(args);
    }
    if (cmd == "collect") {
        return Collect(args);
    }
    if (cmd == "shift") {
        return Shift();
    }
    if (cmd == "xreport" || cmd == "zreport" || cmd == "copy" || cmd == "drawer" ||
        cmd == "cancel") {
        return FiscalCommand(cmd);
    }
    if (cmd == "restore-link") {
        office_.RestoreLink();
        return Ok("state \"" + office_.StateText() + "\"");
    }
    if (cmd == "drop-call") {
        office_.DropCall();
        return Ok("sent 9");
    }
    if (cmd == "set-booth") {
        return SetBooth(args);
    }
    if (cmd == "answer-fax") {
        return Error("incoming fax billing is not yet available");
    }
    return Error("unknown command " + cmd);
}

std::vector<std::string> HeadlessCommands::Login(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Error("login PASSWORD");
    }
    const LoginResult result = office_.LoginWith(args[0]);
    if (!result.LoggedIn()) {
        return Error(std::string(kPasswordNotFound));
    }
    return Ok("operator " + std::to_string(result.operatorNo) + " type " +
              std::to_string(result.type));
}

std::vector<std::string> HeadlessCommands::Privileges(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "on") {
        if (!office_.TakeTemporaryPrivileges(args[1])) {
            return Error("no temporary privileges");
        }
        return Ok("administrator rights");
    }
    if (args.size() == 1 && args[0] == "off") {
        office_.DropTemporaryPrivileges();
        return Ok("operator rights");
    }
    return Error("privileges on PASSWORD|off");
}

std::vector<std::string> HeadlessCommands::Advance(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return Error("advance N AMOUNT");
    }
    const int panel = ParsePanel(args[0]);
    if (panel < 0) {
        return Error("no panel " + args[0]);
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    AdvanceDialogModel dialog;
    dialog.Open(booth);
    if (!dialog.IsOpen() || dialog.View().view != AdvanceView::kAdvance ||
        !dialog.View().depositEnabled) {
        return Error("panel " + args[0] + " takes no advance now");
    }
    const std::string& text = args[1];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const KeyDecision key = dialog.TypeKey(std::string_view(&text[i], 1));
        if (key.message) {
            return Error(key.message->text);
        }
        if (!key.accepted) {
            return Error("amount " + text + " not accepted at '" + text.substr(i, 1) + "'");
        }
    }
    dialog.Deposit();
    const int result = dialog.Result();
    if (result <= 0) {
        return Error("no advance");
    }
    office_.ApplyAdvanceResult(panel, result);
    const BoothSnapshot after = office_.Snapshot(panel);
    return Ok("panel " + args[0] + " state " + std::to_string(after.state) + " advance " +
              MoneyReceiptText(after.advanceLeft) + " receipt " +
              std::to_string(after.receiptNumber));
}

std::vector<std::string> HeadlessCommands::Settle(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return Error("settle N calc|print|unclaimed");
    }
    const int panel = ParsePanel(args[0]);
    if (panel < 0) {
        return Error("no panel " + args[0]);
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    AdvanceDialogModel dialog;
    dialog.Open(booth);
    const AdvanceDialogView& view = dialog.View();
    if (!dialog.IsOpen() || view.view != AdvanceView::kSettlement) {
        return Error("panel " + args[0] + " holds no advance");
    }
    const std::string& how = args[1];
    if (how == "calc" && view.settleEnabled) {
        dialog.Settle();
    } else if (how == "print" && view.printEnabled) {
        dialog.SettleAndPrint();
    } else if (how == "unclaimed" && view.unclaimedEnabled) {
        dialog.Unclaimed();
    } else {
        return Error("settle " + how + " is not possible now");
    }
    const std::string toPay = view.toPayLine;
    office_.ApplyAdvanceResult(panel, dialog.Result());
    const BoothSnapshot after = office_.Snapshot(panel);
    return Ok("panel " + args[0] + " state " + std::to_string(after.state) + " calls " +
              std::to_string(booth.calls) + " taken " + MoneyReceiptText(booth.advanceTaken) +
              " rest " + MoneyReceiptText(booth.advanceLeft) + " (" + toPay + ")");
}

std::vector<std::string> HeadlessCommands::TopUp(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return Error("topup N AMOUNT");
    }
    const int panel = ParsePanel(args[0]);
    if (panel < 0) {
        return Error("no panel " + args[0]);
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    AdvanceDialogModel dialog;
    dialog.Open(booth);
    if (!dialog.IsOpen() || !dialog.View().topUpEnabled || !dialog.TopUp()) {
        return Error("panel " + args[0] + " takes no top-up now");
    }
    TopUpDialogModel topUp;
    topUp.Open(panel, booth.boothNumber);
    const TopUpOutcome outcome = topUp.Apply(args[1]);
    if (outcome.message) {
        return Error(outcome.message->text);
    }
    if (!outcome.amount) {
        return Error("no top-up");
    }
    office_.AddAdvance(panel, *outcome.amount);
    const BoothSnapshot after = office_.Snapshot(panel);
    return Ok("panel " + args[0] + " advance " + MoneyReceiptText(after.advanceLeft) + " taken " +
              MoneyReceiptText(after.advanceTaken));
}

std::vector<std::string> HeadlessCommands::ShowBooths() {
    std::vector<std::string> lines;
    const auto snapshots = office_.Snapshots();
    for (int panel = 0; panel < kBoothCount; ++panel) {
        const BoothSnapshot& s = snapshots[panel];
        const BoothView view = office_.ViewOf(panel);
        lines.push_back("booth " + std::to_string(panel + 1) + " kind " + std::to_string(s.kind) +
                        " number " + std::to_string(s.boothNumber) + " state " +
                        std::to_string(s.state) + " caption \"" + view.button.text + "\" money \"" +
                        view.moneyLabel.text + "\" left " + MoneyReceiptText(s.advanceLeft) +
                        " taken " + MoneyReceiptText(s.advanceTaken) + " calls " +
                        std::to_string(s.calls) + " receipt " + std::to_string(s.receiptNumber));
    }
    lines.push_back("ok " + std::to_string(kBoothCount) + " booths");
    return lines;
}

std::vector<std::string> HeadlessCommands::ShowKassa() {
    std::vector<std::string> lines;
    const KassaData kassa = office_.KassaCopy();
    for (int counter = 0; counter < 8; ++counter) {
        lines.push_back("kassa " + std::to_string(counter) + " " +
                        std::string(kKassaRowLabels[counter]) + " " +
                        KassaAmountText(kassa.Get(counter)));
    }
    lines.push_back(KassaBalanced(kassa) ? "ok balanced" : "ok not balanced");
    return lines;
}

std::vector<std::string> HeadlessCommands::ShowState() {
    return Ok("phase " + std::to_string(office_.Phase()) + " operator " +
              std::to_string(office_.OperatorOnDuty()) + " state \"" + office_.StateText() +
              "\" tariff \"" +
              (office_.PreferentialTariff() ? "Тариф - льготный" : "Тариф - обычный") + "\"");
}

std::vector<std::string> HeadlessCommands::Wait(const std::vector<std::string>& args) {
    double seconds = -1;
    if (args.size() == 1) {
        std::istringstream in(args[0]);
        in >> seconds;
        if (!in.eof() && in.fail()) {
            seconds = -1;
        }
    }
    if (seconds < 0 || seconds > 3600) {
        return Error("wait SECONDS");
    }
    wait_(static_cast<int64_t>(seconds * 1000));
    return Ok();
}

std::vector<std::string> HeadlessCommands::QuitCommand() {
    switch (office_.RequestExit()) {
        case ExitOutcome::kRefused:
            return Error(kBoothActive);
        case ExitOutcome::kCancelled:
            return Error("exit cancelled");
        case ExitOutcome::kClosing:
            quit_ = true;
            return Ok("exit");
    }
    return Error("exit");
}

}  // namespace miradel
