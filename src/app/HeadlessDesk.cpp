// The headless channel's desk commands: booths by physical number, the cash collection, the
// shift change, the fiscal register's menu commands, the booth settings and app.cfg fields.
#include <charconv>

#include "app/Headless.h"
#include "app/config/AppConfigFields.h"
#include "cashdesk/Kassa.h"
#include "common/Money.h"
#include "printing/FiscalCommands.h"

namespace miradel {

namespace {

std::vector<std::string> Error(std::string text) {
    return {"error " + std::move(text)};
}

std::vector<std::string> Ok(std::string text) {
    return {"ok " + std::move(text)};
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::string> HeadlessCommands::Refused(MenuCommand command, int panel) {
    if (auto refusal = CheckGuards(EntryOf(command, panel), office_.Facts())) {
        return refusal->text;
    }
    return std::nullopt;
}

std::vector<std::string> HeadlessCommands::RunPanelCommand(const std::string& cmd,
                                                           const std::vector<std::string>& args) {
    if (cmd == "advance") {
        return Advance(args);
    }
    if (cmd == "settle") {
        return Settle(args);
    }
    return TopUp(args);
}

std::vector<std::string> HeadlessCommands::Booth(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        return Error(
            "booth NUMBER advance|topup AMOUNT | booth NUMBER settle calc|print|unclaimed");
    }
    const auto number = ParseInt(args[0]);
    if (!number) {
        return Error("no booth number " + args[0]);
    }
    const auto booths = office_.Snapshots();
    const int panel = PanelOfBoothNumber(booths, *number);
    if (panel < 0) {
        return Error("no booth " + args[0]);  // the window does nothing either
    }
    const std::string& cmd = args[1];
    if (cmd != "advance" && cmd != "settle" && cmd != "topup") {
        return Error("booth NUMBER advance|settle|topup ...");
    }
    std::vector<std::string> rest{std::to_string(panel + 1)};
    rest.insert(rest.end(), args.begin() + 2, args.end());
    return RunPanelCommand(cmd, rest);
}

std::vector<std::string> HeadlessCommands::Collect(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Error("collect LEFT");
    }
    if (auto refusal = Refused(MenuCommand::kCollection)) {
        return Error(*refusal);
    }
    KassaWindowModel& window = office_.KassaWindow();
    window.Open(KassaMode::kCollection, office_.UnclaimedTotal());
    const CollectionOutcome outcome =
        window.Collect(args[0], office_.Desk(), office_.Now(), office_.CollectionOutput());
    if (outcome.kind != CollectionOutcome::kBooked) {
        std::string text = outcome.message ? outcome.message->text : std::string("not collected");
        if (!outcome.printError.empty()) {
            text += " (" + outcome.printError + ")";
        }
        if (window.IsOpen()) {
            window.Close();
        }
        return Error(text);
    }
    office_.CollectionBooked();
    return Ok("collected " + MoneyReceiptText(window.LastTaken()) + " left " +
              MoneyReceiptText(window.LastLeft()));
}

std::vector<std::string> HeadlessCommands::Shift() {
    if (auto refusal = Refused(MenuCommand::kShift)) {
        return Error(*refusal);
    }
    KassaWindowModel& window = office_.KassaWindow();
    window.Open(KassaMode::kView, office_.UnclaimedTotal());
    window.Close();
    return Ok("shift: login PASSWORD next");
}

std::vector<std::string> HeadlessCommands::FiscalCommand(const std::string& cmd) {
    if (!office_.Menus().fiscal1141) {
        return Error("the fiscal commands need a Меркурий 114.1Ф register");
    }
    FiscalCommands& fiscal = office_.Fiscal();
    if (cmd == "xreport") {
        fiscal.XReport();
    } else if (cmd == "zreport") {
        if (!office_.ZReportCommand()) {
            return Error("Z report not confirmed");
        }
        return Ok("zreport queued: login PASSWORD next");
    } else if (cmd == "copy") {
        fiscal.CopyLastCheck(office_.OperatorOnDuty());
    } else if (cmd == "drawer") {
        fiscal.OpenDrawer();
    } else {
        fiscal.CancelTransaction();
    }
    return Ok(cmd + " queued");
}

std::vector<std::string> HeadlessCommands::SetBooth(const std::vector<std::string>& args) {
    if (args.size() != 3) {
        return Error("set-booth N KIND NUMBER");
    }
    const int panel = ParsePanel(args[0]);
    const auto kind = ParseInt(args[1]);
    if (panel < 0 || !kind) {
        return Error("set-booth N KIND NUMBER");
    }
    if (auto refusal = Refused(MenuCommand::kBoothSettings, panel)) {
        return Error(*refusal);
    }
    const BoothSnapshot booth = office_.Snapshot(panel);
    BoothSettingsModel model;
    model.Open(panel, booth.kind, booth.boothNumber);
    const BoothSettingsOutcome outcome = model.Apply(args[2], *kind, office_.AroundPanel());
    const int width = office_.ApplyBoothSettings(panel, outcome);
    std::vector<std::string> lines;
    if (outcome.message) {
        lines.push_back("message: " + outcome.message->caption + ": " + outcome.message->text);
    }
    lines.push_back("ok panel " + args[0] + " kind " + std::to_string(outcome.kind) + " number " +
                    std::to_string(outcome.boothNumber) + " width " + std::to_string(width));
    return lines;
}

std::vector<std::string> HeadlessCommands::ShowConfig(const std::vector<std::string>& args) {
    const auto offset = args.size() == 2 ? ParseInt(args[1]) : std::nullopt;
    if (!offset || *offset < 0 || *offset >= int(appcfg::kSize)) {
        return Error("show config OFFSET (0.." + std::to_string(appcfg::kSize - 1) + ")");
    }
    const AppConfigData data = office_.Config().Copy();
    const auto& b = data.bytes();
    auto at = [&b](int i) { return i < int(b.size()) ? uint32_t(b[i]) : 0u; };
    const int o = *offset;
    const int32_t i32 = int32_t(at(o) | at(o + 1) << 8 | at(o + 2) << 16 | at(o + 3) << 24);
    const int16_t i16 = int16_t(at(o) | at(o + 1) << 8);
    return Ok("offset " + std::to_string(o) + " i32 " + std::to_string(i32) + " i16 " +
              std::to_string(i16) + " u8 " + std::to_string(at(o)));
}

}  // namespace miradel
