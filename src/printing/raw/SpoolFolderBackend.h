#pragma once
// A folder that takes every print job as a file of its own, for tests, demonstrations and
// offices that print later. Files are named job-00000001.prn, job-00000002.prn ... so that
// they sort in the order the jobs were printed, also across restarts. A job being written
// is job-NNNNNNNN.part and gets its final name only when it ends, so a reader never picks up
// half a receipt.

#include <filesystem>
#include <string>

#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

class SpoolFolderBackend final : public RawPrinterBackend {
  public:
    explicit SpoolFolderBackend(std::filesystem::path folder);
    ~SpoolFolderBackend() override;

    PrinterLookup CurrentPrinter() override;
    BackendStatus StartJob(const std::string& printerName, const std::string& title) override;
    WriteOutcome WriteBytes(std::string_view bytes) override;
    BackendStatus EndJob() override;
    bool JobOpen() const override { return fd_ >= 0; }

    // The file a job of the given number ends up in.
    std::filesystem::path JobFile(unsigned number) const;

  private:
    unsigned NextNumber() const;
    void CloseQuietly();

    std::filesystem::path folder_;
    int fd_ = -1;
    unsigned number_ = 0;
    std::filesystem::path partPath_;
};

}  // namespace miradel
