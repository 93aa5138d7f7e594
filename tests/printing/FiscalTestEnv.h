#pragma once
// An office's fiscal side in a temp folder, in virtual time, with the emulator plug-ins.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/config/AppConfig.h"
#include "common/Clock.h"
#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "printing/FiscalCommands.h"
#include "printing/FiscalFlags.h"
#include "printing/FiscalPipeline.h"
#include "printing/FiscalProtocolLog.h"
#include "printing/PrintQueue.h"
#include "support/TempDir.h"

namespace miradel::testing {

inline std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

// Position of each needle in the haystack, in order; npos for one not found after the last.
inline bool InOrder(const std::string& text, const std::vector<std::string>& needles) {
    std::size_t at = 0;
    for (const std::string& needle : needles) {
        at = text.find(needle, at);
        if (at == std::string::npos) {
            return false;
        }
        at += needle.size();
    }
    return true;
}

inline std::size_t Count(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

struct FiscalTestEnv {
    explicit FiscalTestEnv(int device, PromptAnswer fallback = PromptAnswer::Cancel)
        : prompt(fallback) {
        config.Set(appcfg::kReceiptDevice, device);
        config.Set(appcfg::kComPortFiscal, 1);
        config.Set(appcfg::kFiscalProtocol, true);
        config.Set(appcfg::kFeedLines, 3);
        config.Set(appcfg::kFeedAndCut, true);
        config.Set(appcfg::kNextBoothReceipt, 77);
        WriteText(dir / "fiscal.cfg", std::string("# drivers\nm130f = ") + MIRADEL_EMU_M130F +
                                          "\nm114f = " + MIRADEL_EMU_M114F + "\n");
    }

    std::filesystem::path Tape() const { return dir / (Prefix() + ".tape"); }
    std::string TapeText() const { return ReadText(Tape()); }
    void Control(const std::string& text) const { WriteText(dir / (Prefix() + ".ctl"), text); }
    std::string State() const { return ReadText(dir / (Prefix() + ".state")); }

    FiscalPipeline::StartResult Start() { return pipeline.Start(); }
    void Run(int64_t ms) { scheduler.RunFor(ms); }
    // Runs until the print queue is empty and the worker has had time for the last record.
    void Drain(int64_t limitMs = 120000) {
        for (int64_t spent = 0; spent < limitMs; spent += 100) {
            scheduler.RunFor(100);
            if (queue.Empty()) {
                break;
            }
        }
        scheduler.RunFor(3000);
    }
    void Push(CheckQueue document) { queue.Push(std::move(document)); }

    std::vector<FiscalProtocolRow> Rows() const { return protocol.Rows(); }
    std::vector<int> Flags() const {
        std::vector<int> flags;
        for (const auto& row : protocol.Rows()) {
            flags.push_back(row.flag);
        }
        return flags;
    }
    std::vector<std::string> StatusTexts() const {
        std::vector<std::string> texts;
        for (const auto& state : status.States()) {
            texts.push_back(state.text);
        }
        return texts;
    }

    std::string Prefix() const {
        return config.Get(appcfg::kReceiptDevice) == kMercury130 ? "m130f-emu" : "m114f-emu";
    }

    TempDir dir;
    VirtualClock clock{{2009, 3, 5, 9, 5, 7}};
    VirtualScheduler scheduler{clock};
    AppConfig config{AppConfigData::Defaults()};
    RecordingProgramStatus status;
    RecordingOperatorLog operatorLog;
    ScriptedPrompt prompt;
    bool autonomous = false;
    int linkFailures = 0;
    FiscalFlags flags;
    MemoryFiscalProtocolLog protocol;
    PrintQueue queue{{status, operatorLog, [this] { return autonomous; }}};
    FiscalCommands commands{config, queue, flags};
    FiscalPipeline pipeline{{config, queue, flags, protocol, prompt, clock, dir.path(),
                             [this] { ++linkFailures; }, &scheduler}};
};

}  // namespace miradel::testing
