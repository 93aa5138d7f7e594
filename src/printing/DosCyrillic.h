#pragma once
// The text form the Меркурий 130Ф takes: Windows-1251 moved to the DOS Cyrillic code page.

#include <cstddef>
#include <string>
#include <string_view>

namespace miradel {

inline constexpr std::size_t kM130TextLimit = 128;

// Windows-1251 bytes to the DOS page: 192..239 become byte - 64, 240..255 become byte - 16,
// every other byte (Ё and ё among them) stays.
std::string Cp1251ToDosCyrillic(std::string_view cp1251);

// A UTF-8 line as the 130Ф gets it: in Windows-1251, cut to 128 characters, in the DOS page.
std::string M130Text(std::string_view utf8);

}  // namespace miradel
