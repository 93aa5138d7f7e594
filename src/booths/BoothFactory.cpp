#include "booths/BoothFactory.h"

namespace miradel {

KabinaInert::KabinaInert(BoothKind kind, int panel, int16_t boothNumber, BoothEnvironment& env)
    : Kabina(panel, boothNumber, env) {
    SetUpAsKind(kind);
}

int16_t KabinaInert::HandleEvent(uint32_t, int32_t) {
    return 0;
}

BoothSnapshot KabinaInert::GetInfo() {
    BoothSnapshot s;
    s.state = State();
    s.boothNumber = BoothNumber();
    s.panel = Panel();
    s.kind = Kind();
    return s;
}

void KabinaInert::AddAdvance(int32_t) {}

BoothFactory::BoothFactory() {
    for (int kind = kKindAvtomat; kind <= kKindUniver; ++kind) {
        creators_[kind] = [kind](int panel, int16_t number, BoothEnvironment& env) {
            return std::make_unique<KabinaInert>(static_cast<BoothKind>(kind), panel, number, env);
        };
    }
}

void BoothFactory::Register(BoothKind kind, Creator creator) {
    if (kind > kKindNone && IsKnownKind(kind)) {
        creators_[kind] = std::move(creator);
    }
}

std::unique_ptr<Kabina> BoothFactory::Create(int kind, int panel, int16_t boothNumber,
                                             BoothEnvironment& env) const {
    if (kind <= kKindNone || !IsKnownKind(kind) || !creators_[kind]) {
        return std::make_unique<Kabina>(panel, boothNumber, env);
    }
    return creators_[kind](panel, boothNumber, env);
}

}  // namespace miradel
