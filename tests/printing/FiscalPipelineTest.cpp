// Starting the worker the settings choose, and what the office sees when it cannot.

#include "printing/FiscalPipeline.h"

#include <gtest/gtest.h>

#include "FiscalTestEnv.h"
#include "printing/FiscalDocuments.h"

namespace miradel {
namespace {

using testing::FiscalTestEnv;

CheckQueue OneLine() {
    FiscalDocument document;
    document.Text(1, "СТРОКА").End(1, 0, false);
    return document.Take();
}

TEST(FiscalPipelineTest, WithThePrinterNoWorkerRunsAndNothingIsPrinted) {
    FiscalTestEnv env(kReceiptOnPrinter);
    const auto result = env.Start();
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.error.empty());
    env.Push(OneLine());
    env.Run(60000);
    EXPECT_EQ(env.queue.Size(), 2u);
    EXPECT_FALSE(env.flags.workerRunning);
    EXPECT_FALSE(env.flags.linkFailed);
    EXPECT_FALSE(FiscalMenuVisible(env.config, env.flags));
    EXPECT_FALSE(std::filesystem::exists(env.dir / "m130f-emu.tape"));
    EXPECT_FALSE(std::filesystem::exists(env.dir / "m114f-emu.tape"));
    EXPECT_EQ(env.scheduler.Waiting(), 0u);
}

TEST(FiscalPipelineTest, A114WorkerShowsTheMenuAndCountsAsOnline) {
    FiscalTestEnv env(kMercury114);
    ASSERT_TRUE(env.Start().started);
    EXPECT_TRUE(env.flags.workerRunning);
    EXPECT_TRUE(env.pipeline.Running());
    EXPECT_TRUE(FiscalMenuVisible(env.config, env.flags));
    EXPECT_FALSE(env.pipeline.M130ConnectionOpen());
    env.pipeline.Stop();
    env.Run(100);
    EXPECT_TRUE(env.pipeline.Stopped());
}

struct StartFailure {
    const char* name;
    int device;
    std::string control;   // the emulator's faults
    std::string settings;  // fiscal.cfg instead of the emulators; empty keeps them
    int comPort;
    std::string text;  // the whole text, or its first line and the start of the second
};

class StartFailureTest : public ::testing::TestWithParam<StartFailure> {};

TEST_P(StartFailureTest, RaisesTheLinkFailureAndRunsNoWorker) {
    const StartFailure& f = GetParam();
    FiscalTestEnv env(f.device);
    env.config.Set(appcfg::kComPortFiscal, f.comPort);
    env.Control(f.control);
    if (!f.settings.empty()) {
        testing::WriteText(env.dir / "fiscal.cfg", f.settings);
    }
    const auto result = env.Start();
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.error.substr(0, f.text.size()), f.text) << result.error;
    EXPECT_TRUE(env.flags.linkFailed);
    EXPECT_EQ(env.linkFailures, 1);
    EXPECT_FALSE(env.flags.workerRunning);
    EXPECT_FALSE(FiscalMenuVisible(env.config, env.flags));
    EXPECT_FALSE(env.pipeline.M130ConnectionOpen());
    env.Push(OneLine());
    env.Run(10000);
    EXPECT_EQ(env.queue.Size(), 2u) << "queued records stay unprinted";
}

const std::string kNoPort = "Ошибка открытия порта сеанса связи с ККМ!";
INSTANTIATE_TEST_SUITE_P(
    Registers, StartFailureTest,
    ::testing::Values(StartFailure{"M130NoAnswer", kMercury130, "open fail", "", 1, kNoPort},
                      StartFailure{"M130NoSerial", kMercury130, "serial empty", "", 1,
                                   "Неверный номер порта ККМ или выключена ККМ!"},
                      StartFailure{"M130NoSuchPort", kMercury130, "", "", 8, kNoPort},
                      StartFailure{"M114NoAnswer", kMercury114, "open fail", "", 1, kNoPort},
                      StartFailure{"M114Offline", kMercury114, "offline", "", 1, kNoPort},
                      StartFailure{"PluginMissing", kMercury130, "", "m130f = missing.so\n", 1,
                                   kNoPort + "\nНе найден драйвер ККМ: "},
                      StartFailure{"PluginWithoutEntry", kMercury114, "",
                                   std::string("m114f = ") + MIRADEL_TEST_PLUGIN_NOENTRY + "\n", 1,
                                   kNoPort + "\nВ драйвере ККМ "},
                      StartFailure{"NotConfigured", kMercury114, "", "# nothing\n", 1,
                                   kNoPort + "\nНе задан драйвер ККМ \"m114f\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FiscalPipelineTest, A130WithoutSerialNumberDoesNotKeepThePort) {
    FiscalTestEnv env(kMercury130);
    env.Control("serial empty");
    ASSERT_FALSE(env.Start().started);
    EXPECT_NE(env.State().find("closed=1"), std::string::npos);
}

}  // namespace
}  // namespace miradel
