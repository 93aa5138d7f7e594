#include "printing/raw/PrinterConfig.h"

#include <gtest/gtest.h>

#include "common/AtomicFile.h"
#include "printing/raw/RawPrintJob.h"
#include "printing/raw/SpoolFolderBackend.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

TEST(PrinterConfig, AMissingFileMeansTheCupsDefaultInWindows1251) {
    testing::TempDir dir;
    const PrinterConfigLoad load = LoadPrinterConfig(dir.path());
    EXPECT_TRUE(load.problems.empty());
    EXPECT_EQ(load.config.kind, PrinterKind::kCups);
    EXPECT_TRUE(load.config.target.empty());
    EXPECT_EQ(load.config.encoding, PrinterEncoding::kCp1251);
    EXPECT_EQ(load.config.timeoutSeconds, 10);
}

TEST(PrinterConfig, ReadsEveryKey) {
    const PrinterConfigLoad load = ParsePrinterConfig(
        "# receipt printer\r\n"
        "  Backend = Device \r\n"
        "target=/dev/usb/lp0\n"
        "encoding = CP866\n"
        "\n"
        "timeout = 3\n"
        "server = printhost:6310");
    EXPECT_TRUE(load.problems.empty()) << load.problems.front();
    EXPECT_EQ(load.config.kind, PrinterKind::kDevice);
    EXPECT_EQ(load.config.target, "/dev/usb/lp0");
    EXPECT_EQ(load.config.encoding, PrinterEncoding::kCp866);
    EXPECT_EQ(load.config.timeoutSeconds, 3);
    EXPECT_EQ(load.config.server, "printhost:6310");
}

TEST(PrinterConfig, LinesNotUnderstoodAreReportedAndChangeNothing) {
    struct Case {
        std::string text;
        std::string problem;
    };
    for (const Case& c : std::vector<Case>{
             {"backend = laser",
              "printer.cfg line 1: unknown backend \"laser\" (cups, device or spool)"},
             {"\nencoding = koi8",
              "printer.cfg line 2: unknown encoding \"koi8\" (cp1251 or cp866)"},
             {"timeout = 0", "printer.cfg line 1: timeout must be whole seconds from 1 to 120"},
             {"timeout = 5s", "printer.cfg line 1: timeout must be whole seconds from 1 to 120"},
             {"timeout = 99999999999999",
              "printer.cfg line 1: timeout must be whole seconds from 1 to 120"},
             {"colour = red", "printer.cfg line 1: unknown key \"colour\""},
             {"just words", "printer.cfg line 1: expected key = value"},
             {"backend = spool", "printer.cfg: backend spool needs a target folder"},
             {"backend = device", "printer.cfg: backend device needs a target device file"},
         }) {
        const PrinterConfigLoad load = ParsePrinterConfig(c.text);
        ASSERT_EQ(load.problems.size(), 1u) << c.text;
        EXPECT_EQ(load.problems[0], c.problem);
        EXPECT_EQ(load.config.timeoutSeconds, 10);
        EXPECT_EQ(load.config.encoding, PrinterEncoding::kCp1251);
    }
}

TEST(PrinterConfig, ARelativeSpoolFolderLivesInTheWorkingFolder) {
    testing::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir / kPrinterCfgName, "backend = spool\ntarget = out\n"));
    const PrinterConfigLoad load = LoadPrinterConfig(dir.path());
    ASSERT_TRUE(load.problems.empty());
    const auto backend = MakePrinterBackend(load.config, dir.path());
    RawJob job;
    job.lines = {"x"};
    ASSERT_TRUE(RunPrintJob(*backend, job).ok);
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "job-00000001.prn"));
}

}  // namespace
}  // namespace miradel
