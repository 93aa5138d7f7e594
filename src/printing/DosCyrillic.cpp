#include "printing/DosCyrillic.h"

#include "common/Cp1251.h"

namespace miradel {

std::string Cp1251ToDosCyrillic(std::string_view cp1251) {
    std::string dos(cp1251);
    for (char& c : dos) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 192 && byte <= 239) {
            c = static_cast<char>(byte - 64);
        } else if (byte >= 240) {
            c = static_cast<char>(byte - 16);
        }
    }
    return dos;
}

std::string M130Text(std::string_view utf8) {
    std::string cp1251 = Utf8ToCp1251(utf8);
    if (cp1251.size() > kM130TextLimit) {
        cp1251.resize(kM130TextLimit);
    }
    return Cp1251ToDosCyrillic(cp1251);
}

}  // namespace miradel
