#include "app/BoothBuilder.h"

#include "booths/BoothEvents.h"

namespace miradel {

BuiltBooths BuildBooths(bool kabinOpened, const BoothFactory& factory, BoothEnvironment& env) {
    BuiltBooths built;
    if (!kabinOpened) {
        for (int i = 0; i < kBoothCount; ++i) {
            built.booths[i] = factory.Create(kKindAvtomat, i, static_cast<int16_t>(i + 1), env);
        }
        KabinData fresh;
        for (int i = 0; i < kBoothCount; ++i) {
            fresh.Record(i) = SlotRecordOf(built.booths[i]->GetInfo());
        }
        env.kabin.Load(fresh);
        return built;
    }

    const KabinData records = env.kabin.Copy();
    for (int i = 0; i < kBoothCount; ++i) {
        const BoothSlotRecord& r = records.Record(i);
        built.booths[i] = factory.Create(r.kind, i, r.boothNumber, env);

        const bool resumes = HoldsAdvance(r.kind) && r.state != 0 && r.state != 1;
        if (!resumes) {
            continue;
        }
        if (r.kind != kKindVinos) {
            env.kassa.Modify([&](KassaData& k) {
                k.Add(kKassaBoothAdvances, -r.advance);
                k.Add(kKassaTotal, -r.advance);
            });
        }
        built.booths[i]->HandleEvent(kEventSwitchOn, r.advance);
        built.restored[i] = true;
        built.restoredTotal += r.advance;
    }
    return built;
}

BoothSlotRecord SlotRecordOf(const BoothSnapshot& s) {
    BoothSlotRecord r;
    if (s.kind == kKindNone) {
        return r;
    }
    r.state = s.state;
    r.boothNumber = s.boothNumber;
    r.kind = s.kind;
    r.advance = s.advanceLeft;
    return r;
}

void RebuildKabinImage(const std::array<std::unique_ptr<Kabina>, kBoothCount>& booths,
                       KabinImage& kabin) {
    KabinData data;
    for (int i = 0; i < kBoothCount; ++i) {
        if (booths[i]) {
            data.Record(i) = SlotRecordOf(booths[i]->GetInfo());
        }
    }
    kabin.Modify([&](KabinData& d) { d = data; });
}

}  // namespace miradel
