#include "booths/BoothKinds.h"

#include <array>

namespace miradel {

namespace {

constexpr std::array<BoothKindInfo, 7> kKinds{{
    {kKindNone, "отсутствует ", Colour::Default, Colour::Default, ""},
    {kKindAvtomat, "Автомат ", Colour::Black, Colour::Default, ""},
    {kKindZakaz, "  Заказ ", Colour::Green, Colour::Default,
     "Кабина для обслуживания заказных переговоров"},
    {kKindVinos, " Вынос  ", Colour::Default, Colour::MenuBackground, ""},
    {kKindFax, "   Факс ", Colour::Blue, Colour::Default, ""},
    {kKindAround, " Обзвон ", Colour::Red, Colour::Default,
     "Кабина обзвона - оповещение должников"},
    {kKindUniver, "Универ. ", Colour::Navy, Colour::Default, ""},
}};

}  // namespace

bool IsKnownKind(int kind) {
    return kind >= 0 && kind < static_cast<int>(kKinds.size());
}

const BoothKindInfo& KindInfo(BoothKind kind) {
    return IsKnownKind(kind) ? kKinds[static_cast<std::size_t>(kind)] : kKinds[0];
}

bool HoldsAdvance(int kind) {
    return kind == kKindAvtomat || kind == kKindVinos || kind == kKindFax || kind == kKindUniver;
}

}  // namespace miradel
