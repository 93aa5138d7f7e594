#include "printing/raw/RawPrintJob.h"

namespace miradel {

RawPrintJob::RawPrintJob(RawPrinterBackend& backend, RawJobSettings settings)
    : backend_(backend), settings_(settings) {}

RawPrintJob::~RawPrintJob() {
    End();
}

void RawPrintJob::Fail(std::string text) {
    failed_ = true;
    if (error_.empty()) {
        error_ = std::move(text);
    }
}

bool RawPrintJob::Begin(std::string_view title) {
    if (raw_ || failed_) {
        return false;
    }
    const PrinterLookup printer = backend_.CurrentPrinter();
    if (!printer.error.empty()) {
        Fail(printer.error);
        return false;
    }
    auto raw = std::make_unique<TPrintRaw>(backend_);
    try {
        raw->SetTitle(title);
        raw->SetPrinterName(printer.name);
        raw->BeginDoc();
    } catch (const EPrinter& e) {
        Fail(e.what());
        return false;
    }
    raw_ = std::move(raw);
    return true;
}

bool RawPrintJob::PrintLine(std::string_view utf8) {
    if (!raw_ || failed_) {
        return false;
    }
    try {
        if (raw_->WriteLine(EncodeForPrinter(utf8, settings_.encoding)) == 0) {
            return true;
        }
        Fail("The printer did not take the whole line");
    } catch (const EPrinter& e) {
        Fail(e.what());
    }
    return false;
}

bool RawPrintJob::End() {
    if (!raw_) {
        return false;
    }
    bool ok = !failed_;
    // The form feed also follows a printout cut short, so a laser printer ejects what it
    // got; a device already let go is not asked.
    if (settings_.formFeed && backend_.JobOpen()) {
        try {
            if (raw_->NewPage() != 0) {
                Fail("The printer did not take the form feed");
                ok = false;
            }
        } catch (const EPrinter& e) {
            Fail(e.what());
            ok = false;
        }
    }
    try {
        raw_->EndDoc();
    } catch (const EPrinter& e) {
        Fail(e.what());
        ok = false;
    }
    raw_.reset();
    return ok;
}

PrintOutcome RunPrintJob(RawPrinterBackend& backend, const RawJob& job) {
    PrintOutcome outcome;
    RawPrintJob print(backend, job.settings);
    if (!print.Begin(job.title)) {
        outcome.error = print.Error();
        return outcome;
    }
    for (const std::string& line : job.lines) {
        if (!print.PrintLine(line)) {
            break;
        }
        ++outcome.linesPrinted;
    }
    outcome.ok = print.End();
    outcome.error = print.Error();
    return outcome;
}

}  // namespace miradel
