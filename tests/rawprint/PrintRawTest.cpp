#include "printing/raw/PrintRaw.h"

#include <gtest/gtest.h>

#include <functional>

#include "printing/raw/RawPrintJob.h"
#include "rawprint/FakeBackend.h"

namespace miradel {
namespace {

using testing::FakeBackend;

std::string Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const EPrinter& e) {
        return e.what();
    }
    return "<nothing thrown>";
}

TEST(TPrintRaw, MisuseIsRefusedWithItsOwnText) {
    FakeBackend backend;
    TPrintRaw raw(backend);
    EXPECT_EQ(Thrown([&] { raw.Write("x"); }),
              "Can't perform operation, since you aren't printing");
    EXPECT_EQ(Thrown([&] { raw.EndDoc(); }), "Can't perform EndDoc, since you aren't printing");
    EXPECT_EQ(Thrown([&] { raw.BeginDoc(); }),
              "Can't perform BeginDoc. Reason: No Printer name specified!");

    raw.SetPrinterName("Receipts");
    raw.BeginDoc();
    EXPECT_TRUE(raw.Printing());
    EXPECT_EQ(Thrown([&] { raw.SetTitle("t"); }), "Can't Set Title while printing");
    EXPECT_EQ(Thrown([&] { raw.SetPrinterName("p"); }), "Can't Set Printer name while printing");
    EXPECT_EQ(Thrown([&] { raw.BeginDoc(); }),
              "Can't perform BeginDoc, since you're already printing");
    raw.EndDoc();
    EXPECT_FALSE(raw.Printing());
}

TEST(TPrintRaw, PrinterNamesHoldThirtyTwoCharacters) {
    FakeBackend backend;
    TPrintRaw raw(backend);
    std::string name;
    for (int i = 0; i < 32; ++i) {
        name += "П";  // 64 bytes, 32 characters
    }
    raw.SetPrinterName(name);
    EXPECT_EQ(raw.PrinterName(), name);
    EXPECT_EQ(Thrown([&] { raw.SetPrinterName(std::string(33, 'p')); }),
              "Printer name is too long! Max length: 32");
    EXPECT_EQ(raw.PrinterName(), name);
}

TEST(TPrintRaw, LinesEndInLineFeedCarriageReturnZeroAndPagesInFormFeedZero) {
    FakeBackend backend;
    TPrintRaw raw(backend);
    raw.SetPrinterName("Receipts");
    raw.SetTitle("Print Miradel");
    raw.BeginDoc();
    EXPECT_EQ(raw.WriteLine("AB"), 0u);
    EXPECT_EQ(raw.NewPage(), 0u);
    raw.EndDoc();
    EXPECT_EQ(backend.bytes, std::string("AB\x0A\x0D\x00\x0C\x00", 7));
    EXPECT_EQ(backend.events, (std::vector<std::string>{"start Receipts / Print Miradel", "end"}));
}

TEST(TPrintRaw, SystemErrorsAndALostPrinterAreThrown) {
    FakeBackend backend;
    backend.startError = "Printer Receipts is offline";
    TPrintRaw raw(backend);
    raw.SetPrinterName("Receipts");
    EXPECT_EQ(Thrown([&] { raw.BeginDoc(); }), "Printer Receipts is offline");
    EXPECT_FALSE(raw.Printing());

    backend.startError.clear();
    backend.failWrite = 1;
    backend.dropJobOnFailure = true;
    raw.BeginDoc();
    EXPECT_EQ(Thrown([&] { raw.WriteLine("x"); }), "paper jam");
    EXPECT_EQ(Thrown([&] { raw.WriteLine("y"); }),
              "Invalid Printer Handle. Did you call BeginDoc() ?");
}

TEST(TPrintRaw, AnOpenDocumentIsEndedWhenTheObjectGoes) {
    FakeBackend backend;
    {
        TPrintRaw raw(backend);
        raw.SetPrinterName("Receipts");
        raw.BeginDoc();
    }
    EXPECT_EQ(backend.events.back(), "end");
    EXPECT_FALSE(backend.open);
}

RawJob JobOf(std::vector<std::string> lines, bool formFeed = false) {
    RawJob job;
    job.lines = std::move(lines);
    job.settings.formFeed = formFeed;
    return job;
}

TEST(RunPrintJob, PrintsEveryLineInThePrintersCodePageAndEndsTheJob) {
    FakeBackend backend;
    const PrintOutcome outcome = RunPrintJob(backend, JobOf({"Итого", "\r\n"}));
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(outcome.linesPrinted, 2u);
    EXPECT_EQ(backend.bytes, std::string("\xC8\xF2\xEE\xE3\xEE\n\r\0\r\n\n\r\0", 13));
    EXPECT_EQ(backend.events, (std::vector<std::string>{"start Fake / Print Miradel", "end"}));
}

TEST(RunPrintJob, ALaserPrinterGetsAFormFeedBeforeTheDocumentCloses) {
    FakeBackend backend;
    EXPECT_TRUE(RunPrintJob(backend, JobOf({"A"}, true)).ok);
    EXPECT_EQ(backend.bytes, std::string("A\n\r\0\f\0", 6));
}

TEST(RunPrintJob, TheFirstLineThatFailsEndsThePrintoutAndTheJobIsStillEnded) {
    for (const bool drop : {false, true}) {
        FakeBackend backend;
        backend.failWrite = 3;  // the text of the second line
        backend.dropJobOnFailure = drop;
        const PrintOutcome outcome = RunPrintJob(backend, JobOf({"one", "two", "three"}));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.linesPrinted, 1u);
        EXPECT_EQ(outcome.error, "paper jam");
        EXPECT_EQ(backend.bytes, std::string("one\n\r\0", 6));
        EXPECT_EQ(backend.events.back(), "end");
        EXPECT_FALSE(backend.open);
    }
}

TEST(RunPrintJob, ALineWhoseEndIsLostCountsAsFailed) {
    FakeBackend backend;
    backend.failWrite = 2;  // the line end of the first line
    const PrintOutcome outcome = RunPrintJob(backend, JobOf({"one", "two"}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.linesPrinted, 0u);
}

TEST(RunPrintJob, APrinterThatCannotBeginPrintsNothing) {
    struct Case {
        std::string name, lookupError, startError, expected;
    };
    for (const Case& c : std::vector<Case>{
             {"", "", "", "Can't perform BeginDoc. Reason: No Printer name specified!"},
             {std::string(40, 'p'), "", "", "Printer name is too long! Max length: 32"},
             {"Fake", "CUPS server /x cannot be reached: No such file or directory", "",
              "CUPS server /x cannot be reached: No such file or directory"},
             {"Fake", "", "Printer Fake is out of paper", "Printer Fake is out of paper"},
         }) {
        FakeBackend backend;
        backend.name = c.name;
        backend.lookupError = c.lookupError;
        backend.startError = c.startError;
        const PrintOutcome outcome = RunPrintJob(backend, JobOf({"one"}));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, c.expected);
        EXPECT_TRUE(backend.bytes.empty());
        EXPECT_EQ(backend.writeCalls, 0);
    }
}

TEST(RunPrintJob, AnEndThatFailsIsAFailedJob) {
    FakeBackend backend;
    backend.endError = "CUPS did not take the job for Fake: gone";
    const PrintOutcome outcome = RunPrintJob(backend, JobOf({"one"}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.linesPrinted, 1u);
    EXPECT_EQ(outcome.error, "CUPS did not take the job for Fake: gone");
}

TEST(RawPrintJob, PrintsNothingBeforeBeginOrAfterEnd) {
    FakeBackend backend;
    RawPrintJob job(backend, {});
    EXPECT_FALSE(job.PrintLine("early"));
    ASSERT_TRUE(job.Begin());
    EXPECT_TRUE(job.PrintLine("x"));
    EXPECT_TRUE(job.End());
    EXPECT_FALSE(job.PrintLine("late"));
    EXPECT_FALSE(job.End());
    EXPECT_EQ(backend.bytes, std::string("x\n\r\0", 4));
}

}  // namespace
}  // namespace miradel
