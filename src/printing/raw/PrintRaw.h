#pragma once
// The raw print channel: one object per print job, sending bytes to the printer untouched by
// any page layout. Misuse and printer failures are thrown as EPrinter with the message text.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

class EPrinter : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TPrintRaw {
  public:
    static constexpr std::size_t kMaxPrinterName = 32;  // characters

    explicit TPrintRaw(RawPrinterBackend& backend) : backend_(backend) {}
    // A document still open is ended quietly: the printer is never left held.
    ~TPrintRaw();
    TPrintRaw(const TPrintRaw&) = delete;
    TPrintRaw& operator=(const TPrintRaw&) = delete;

    void SetTitle(std::string_view title);
    void SetPrinterName(std::string_view name);
    const std::string& Title() const { return title_; }
    const std::string& PrinterName() const { return printerName_; }
    bool Printing() const { return printing_; }

    void BeginDoc();
    // These return the number of bytes not written.
    std::size_t Write(std::string_view bytes);
    // The text as it is (already in the printer's code page), then line feed, carriage
    // return and a zero byte. Fails when either part cannot be written whole.
    std::size_t WriteLine(std::string_view text);
    // Form feed and a zero byte.
    std::size_t NewPage();
    void EndDoc();

  private:
    RawPrinterBackend& backend_;
    std::string printerName_;
    std::string title_;
    bool printing_ = false;
};

// What ends each line and each page on the wire.
inline constexpr std::string_view kLineEnd{"\n\r\0", 3};
inline constexpr std::string_view kPageEnd{"\f\0", 2};

}  // namespace miradel
