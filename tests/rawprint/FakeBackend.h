#pragma once
// A printer backend that records what it is asked to do and fails where it is told to.

#include <string>
#include <vector>

#include "printing/raw/RawPrinterBackend.h"

namespace miradel::testing {

class FakeBackend final : public RawPrinterBackend {
  public:
    PrinterLookup CurrentPrinter() override { return {name, lookupError}; }

    BackendStatus StartJob(const std::string& printer, const std::string& title) override {
        events.push_back("start " + printer + " / " + title);
        if (!startError.empty()) {
            return {startError};
        }
        open = true;
        return {};
    }

    WriteOutcome WriteBytes(std::string_view data) override {
        ++writeCalls;
        if (writeCalls == failWrite) {
            if (dropJobOnFailure) {
                open = false;
            }
            return {0, "paper jam"};
        }
        bytes.append(data);
        return {data.size(), ""};
    }

    BackendStatus EndJob() override {
        events.push_back("end");
        open = false;
        return {endError};
    }

    bool JobOpen() const override { return open; }

    std::string name = "Fake";
    std::string lookupError;
    std::string startError;
    std::string endError;
    int failWrite = 0;  // 1-based number of the write call that fails; 0 none
    bool dropJobOnFailure = false;

    std::vector<std::string> events;
    std::string bytes;
    int writeCalls = 0;
    bool open = false;
};

}  // namespace miradel::testing
