#pragma once
// A printer reached through its device file (/dev/usb/lp0, /dev/lp0), or any file or FIFO
// standing in for one. The file is opened without blocking and every write waits at most the
// timeout for the printer to take more data, so a printer that is offline, out of paper or
// unplugged ends the job with a message instead of holding the caller.

#include <filesystem>
#include <string>

#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

class DeviceFileBackend final : public RawPrinterBackend {
  public:
    DeviceFileBackend(std::filesystem::path device, int timeoutMs);
    ~DeviceFileBackend() override;

    PrinterLookup CurrentPrinter() override;
    BackendStatus StartJob(const std::string& printerName, const std::string& title) override;
    WriteOutcome WriteBytes(std::string_view bytes) override;
    BackendStatus EndJob() override;
    bool JobOpen() const override { return fd_ >= 0; }

  private:
    void Release();

    std::filesystem::path device_;
    int timeoutMs_;
    int fd_ = -1;
};

}  // namespace miradel
