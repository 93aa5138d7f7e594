// Plug-ins that load but are no usable driver, for the loader's tests.

#include "printing/FiscalDriverAbi.h"

#define EXPORTED extern "C" __attribute__((visibility("default")))

#ifdef MIRADEL_TEST_PLUGIN_NO_ENTRY

EXPORTED int miradel_something_else(void) {
    return 42;
}

#else

namespace {

// A 130Ф table from some other version of the interface.
MiradelM130Driver OtherVersion() {
    MiradelM130Driver table{};
    table.abi_version = MIRADEL_FISCAL_ABI_VERSION + 98;
    table.struct_size = sizeof(MiradelM130Driver);
    return table;
}
const MiradelM130Driver kOtherVersion = OtherVersion();

// A 114.1Ф component with the required members only: it opens and does nothing else.
int dummy = 0;
MiradelM114* Create(const MiradelFiscalHost*) {
    return reinterpret_cast<MiradelM114*>(&dummy);
}
void Destroy(MiradelM114*) {}
void SetEvents(MiradelM114*, const MiradelM114Events*) {}
int32_t SetNumber(MiradelM114*, int32_t) {
    return 0;
}
int32_t SetText(MiradelM114*, const char*) {
    return 0;
}
int32_t Open(MiradelM114*, int32_t* extended) {
    if (extended) {
        *extended = 0;
    }
    return 0;
}
void SetRetry(MiradelM114*, int32_t) {}

MiradelM114Driver Partial() {
    MiradelM114Driver table{};
    table.abi_version = MIRADEL_FISCAL_ABI_VERSION;
    table.struct_size = sizeof(MiradelM114Driver);
    table.create = Create;
    table.destroy = Destroy;
    table.set_events = SetEvents;
    table.set_port_num = SetNumber;
    table.set_baud_rate = SetNumber;
    table.set_password = SetText;
    table.open = Open;
    table.set_retry_operation = SetRetry;
    return table;
}
const MiradelM114Driver kPartial = Partial();

}  // namespace

EXPORTED const MiradelM130Driver* miradel_m130_driver(uint32_t) {
    return &kOtherVersion;
}
EXPORTED const MiradelM114Driver* miradel_m114_driver(uint32_t) {
    return &kPartial;
}

#endif
