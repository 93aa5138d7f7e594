#include "printing/raw/PrintRaw.h"

#include <fmt/format.h>

#include <algorithm>

#include "common/Cp1251.h"

namespace miradel {

TPrintRaw::~TPrintRaw() {
    if (printing_) {
        printing_ = false;
        backend_.EndJob();
    }
}

void TPrintRaw::SetTitle(std::string_view title) {
    if (printing_) {
        throw EPrinter("Can't Set Title while printing");
    }
    title_ = title;
}

void TPrintRaw::SetPrinterName(std::string_view name) {
    if (printing_) {
        throw EPrinter("Can't Set Printer name while printing");
    }
    if (Utf8Length(name) > kMaxPrinterName) {
        throw EPrinter(fmt::format("Printer name is too long! Max length: {}", kMaxPrinterName));
    }
    printerName_ = name;
}

void TPrintRaw::BeginDoc() {
    if (printing_) {
        throw EPrinter("Can't perform BeginDoc, since you're already printing");
    }
    if (printerName_.empty()) {
        throw EPrinter("Can't perform BeginDoc. Reason: No Printer name specified!");
    }
    const BackendStatus status = backend_.StartJob(printerName_, title_);
    if (!status.Ok()) {
        throw EPrinter(status.error);
    }
    printing_ = true;
}

std::size_t TPrintRaw::Write(std::string_view bytes) {
    if (!printing_) {
        throw EPrinter("Can't perform operation, since you aren't printing");
    }
    if (!backend_.JobOpen()) {
        throw EPrinter("Invalid Printer Handle. Did you call BeginDoc() ?");
    }
    if (bytes.empty()) {
        return 0;
    }
    const WriteOutcome outcome = backend_.WriteBytes(bytes);
    if (!outcome.error.empty()) {
        throw EPrinter(outcome.error);
    }
    return bytes.size() - std::min(outcome.written, bytes.size());
}

std::size_t TPrintRaw::WriteLine(std::string_view text) {
    const std::size_t notWritten = Write(text);
    // A line whose end never reached the printer is not a printed line.
    return notWritten + Write(kLineEnd);
}

std::size_t TPrintRaw::NewPage() {
    return Write(kPageEnd);
}

void TPrintRaw::EndDoc() {
    if (!printing_) {
        throw EPrinter("Can't perform EndDoc, since you aren't printing");
    }
    printing_ = false;
    const BackendStatus status = backend_.EndJob();
    if (!status.Ok()) {
        throw EPrinter(status.error);
    }
}

}  // namespace miradel
