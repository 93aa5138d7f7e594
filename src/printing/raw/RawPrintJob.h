#pragma once
// The print job routine every text printout uses: begin a job on the current printer, print
// line after line, stop at the first line that fails, and end the job in every case.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "printing/raw/PrintRaw.h"
#include "printing/raw/PrinterText.h"
#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

inline constexpr std::string_view kRawJobTitle = "Print Miradel";

struct RawJobSettings {
    PrinterEncoding encoding = PrinterEncoding::kCp1251;
    bool formFeed = false;  // "Лазерный принтер": end the job with a new page
};

// A whole printout, ready for the printer.
struct RawJob {
    std::vector<std::string> lines;  // UTF-8, composed and laid out; feed lines are "\r\n"
    RawJobSettings settings;
    std::string title{kRawJobTitle};
};

struct PrintOutcome {
    bool ok = false;  // every line printed and the job ended cleanly
    std::size_t linesPrinted = 0;
    std::string error;  // the printer's message when not ok
};

// One job on one backend. Failures are kept as text instead of thrown, so that the routine
// can run on a worker thread and report to whoever handed the job over.
class RawPrintJob {
  public:
    RawPrintJob(RawPrinterBackend& backend, RawJobSettings settings);
    ~RawPrintJob();  // ends a job still open
    RawPrintJob(const RawPrintJob&) = delete;
    RawPrintJob& operator=(const RawPrintJob&) = delete;

    // Takes the current printer's name and begins a document on it.
    bool Begin(std::string_view title = kRawJobTitle);
    // The text in the printer's code page followed by the line end; true when every byte of
    // it was written. After a failure nothing more is printed.
    bool PrintLine(std::string_view utf8);
    // A form feed when asked, then the end of the document. Idempotent.
    bool End();

    bool Begun() const { return raw_ != nullptr; }
    const std::string& Error() const { return error_; }

  private:
    void Fail(std::string text);

    RawPrinterBackend& backend_;
    RawJobSettings settings_;
    std::unique_ptr<TPrintRaw> raw_;
    bool failed_ = false;
    std::string error_;
};

// Begin, all lines until one fails, end.
PrintOutcome RunPrintJob(RawPrinterBackend& backend, const RawJob& job);

}  // namespace miradel
