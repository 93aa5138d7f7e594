#pragma once
// The bytes a plain receipt printer gets for the program's UTF-8 text. Both code pages are
// single-byte, so a receipt column counts exactly one character of the UTF-8 text.

#include <string>
#include <string_view>
#include <vector>

namespace miradel {

enum class PrinterEncoding {
    kCp1251,  // Windows-1251: the code page of ticket.cfg and avans.cfg, the usual choice
    kCp866,   // DOS Cyrillic, for printers whose character set is CP866
};

// Characters the code page lacks, and malformed UTF-8 bytes, become '?' one for one.
std::string EncodeForPrinter(std::string_view utf8, PrinterEncoding encoding);

// The text cut into characters (each a well-formed UTF-8 sequence or one stray byte), the
// unit in which receipt columns are counted.
std::vector<std::string_view> SplitCharacters(std::string_view utf8);

}  // namespace miradel
