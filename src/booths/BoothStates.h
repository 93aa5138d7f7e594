#pragma once
// The display states of the booths: the caption and picture a booth button shows per state.

#include <string_view>

namespace miradel {

inline constexpr int kStateCount = 33;  // codes 0..32
inline constexpr int kPictureCount = 11;

// "выключен" for 1 ... ; an unknown code gives an empty caption and picture -1.
std::string_view StateCaption(int state);
int StatePicture(int state);

// Resource names of the pictures: 0 "TLF_NO" ... 10 "TLF_STOPPED"; empty when unknown.
std::string_view PictureName(int picture);

enum Picture : int {
    kPictureNo = 0,
    kPictureEmpty = 1,
    kPictureIsh = 2,
    kPictureNabor = 3,
    kPictureRazg = 4,
    kPictureRing = 5,
    kPictureAlarm = 6,
    kPictureNoAvans = 7,
    kPicture15 = 8,
    kPictureLast30 = 9,  // loaded, but no state shows it
    kPictureStopped = 10,
};

}  // namespace miradel
