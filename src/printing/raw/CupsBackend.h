#pragma once
// A CUPS print queue taking raw documents (the CUPS counterpart of the Windows spooler's
// "RAW" data type): the bytes reach the printer untouched by any filter. Without a queue
// name the jobs go to the CUPS default destination, the system's current printer.
//
// Every exchange with the CUPS server is bounded by the timeout: a server that is down or
// does not answer ends the job with a message instead of holding the caller.

#include <memory>
#include <string>

#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

struct CupsSettings {
    std::string queue;   // empty: the CUPS default destination
    std::string server;  // empty: the system's CUPS server; otherwise host[:port] or a socket
    int timeoutMs = 10000;
};

class CupsBackend final : public RawPrinterBackend {
  public:
    explicit CupsBackend(CupsSettings settings);
    ~CupsBackend() override;

    PrinterLookup CurrentPrinter() override;
    BackendStatus StartJob(const std::string& printerName, const std::string& title) override;
    WriteOutcome WriteBytes(std::string_view bytes) override;
    BackendStatus EndJob() override;
    bool JobOpen() const override;

  private:
    struct Session;

    bool Connect(std::string& error);
    void Disconnect();

    CupsSettings settings_;
    std::unique_ptr<Session> session_;
};

}  // namespace miradel
