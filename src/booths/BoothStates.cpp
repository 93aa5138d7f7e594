#include "booths/BoothStates.h"

#include <array>

namespace miradel {

namespace {

struct StateLook {
    std::string_view caption;
    int picture;
};

constexpr std::array<StateLook, kStateCount> kStates{{
    {"отсутствует", 0}, {"выключен", 1}, {"включен", 2},  {"набор", 3},   {"набор", 3},
    {"набор", 3},       {"разговор", 4}, {"включен", 2},  {"звонят!", 5}, {"ошибка", 6},
    {"аванс=0", 7},     {"набор", 3},    {"выключен", 2}, {" > 30", 8},   {"ошибка", 6},
    {"включен", 2},     {"разговор", 4}, {"набор", 3},    {"набор", 3},   {"разговор", 4},
    {"включен", 2},     {"набор", 3},    {"включен", 2},  {"включен", 2}, {"включен", 2},
    {"набор", 3},       {"набор", 3},    {"набор", 3},    {"набор", 3},   {"набор", 3},
    {"набор", 3},       {"выключен", 1}, {"простой", 10},
}};

constexpr std::array<std::string_view, kPictureCount> kPictureNames{
    "TLF_NO",    "TLF_EMPTY",   "TLF_ISH", "TLF_NABOR",  "TLF_RAZG",   "TLF_RING",
    "TLF_ALARM", "TLF_NOAVANS", "TLF_15",  "TLF_LAST30", "TLF_STOPPED"};

bool Known(int state) {
    return state >= 0 && state < kStateCount;
}

}  // namespace

std::string_view StateCaption(int state) {
    return Known(state) ? kStates[state].caption : "";
}

int StatePicture(int state) {
    return Known(state) ? kStates[state].picture : -1;
}

std::string_view PictureName(int picture) {
    return picture >= 0 && picture < kPictureCount ? kPictureNames[picture] : "";
}

}  // namespace miradel
