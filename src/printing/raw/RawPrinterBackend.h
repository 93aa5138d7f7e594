#pragma once
// Where the bytes of a plain receipt go: a CUPS queue, a printer device file, or a spool
// folder. One job at a time: StartJob, any number of WriteBytes, EndJob. No call may block
// for long: a printer that is missing, offline or out of paper ends in an error text.

#include <cstddef>
#include <string>
#include <string_view>

namespace miradel {

// An empty error means success. Error texts are English, for the operator's error box and
// the engineer.
struct BackendStatus {
    std::string error;
    bool Ok() const { return error.empty(); }
};

struct WriteOutcome {
    std::size_t written = 0;
    std::string error;
};

struct PrinterLookup {
    std::string name;   // empty when there is no printer to use
    std::string error;  // why the printer could not be looked up
};

class RawPrinterBackend {
  public:
    virtual ~RawPrinterBackend() = default;

    // The printer the next job goes to: the system's current printer.
    virtual PrinterLookup CurrentPrinter() = 0;

    // Opens `printerName` and starts a raw document called `title`.
    virtual BackendStatus StartJob(const std::string& printerName, const std::string& title) = 0;
    // Hands the bytes on; on an error `written` says how many went out before it.
    virtual WriteOutcome WriteBytes(std::string_view bytes) = 0;
    // Ends the document and closes the printer; safe to call after a failed write.
    virtual BackendStatus EndJob() = 0;

    // True between a successful StartJob and EndJob, while the printer is still held (a
    // device that failed is let go at once).
    virtual bool JobOpen() const = 0;
};

}  // namespace miradel
