#pragma once
// Building the 16 booths from kabin.cfg at start-up, restoring the advances booths held when
// the office stopped, and rebuilding kabin.cfg from the booths after a reconfiguration.

#include <array>
#include <memory>

#include "app/config/KabinCfg.h"
#include "booths/BoothFactory.h"
#include "booths/Kabina.h"

namespace miradel {

struct BuiltBooths {
    std::array<std::unique_ptr<Kabina>, kBoothCount> booths;
    std::array<bool, kBoothCount> restored{};  // the panel's restored-at-start mark
    int32_t restoredTotal = 0;                 // advances restored, hundredths
};

// `kabinOpened` tells whether kabin.cfg was read into `env.kabin` (see LoadKabin). Without a
// file every position becomes an automatic booth numbered 1..16; the image then describes
// them (state 1, no advance) so that the first flush does not write them as disabled.
//
// A record of kind 1, 3, 4 or 6 whose state is neither 0 nor 1 resumes its booth with event 1
// and the record's advance. For kinds 1, 4 and 6 the advance is first taken off kassa
// counters 0 and 7, which the booth's switch-on adds again; a remote line (3) does not move
// the till.
BuiltBooths BuildBooths(bool kabinOpened, const BoothFactory& factory, BoothEnvironment& env);

// The record a booth's snapshot gives for kabin.cfg; a disabled position writes all zeros.
BoothSlotRecord SlotRecordOf(const BoothSnapshot& snapshot);

// Rebuilds the whole kabin.cfg image from the booths' current snapshots, in panel order.
void RebuildKabinImage(const std::array<std::unique_ptr<Kabina>, kBoothCount>& booths,
                       KabinImage& kabin);

}  // namespace miradel
