#include "app/ui/OfficeHooks.h"

namespace miradel {

MainWindowHooks OfficeHooks(Office& office, Scheduler& scheduler, PanelPublisher& publisher) {
    MainWindowHooks hooks;
    hooks.caption = [&office] { return office.Caption(); };
    hooks.snapshot = [&office](int panel) { return office.Snapshot(panel); };
    hooks.tariff = [&office] {
        return std::string(office.PreferentialTariff() ? "Тариф - льготный" : "Тариф - обычный");
    };
    hooks.dialogOpen = [&office, &scheduler](int panel, bool open) {
        scheduler.Post([&office, panel, open] {
            office.WithBooths([panel, open](BoothArray& booths) {
                if (booths.at(panel)) {
                    booths[panel]->SetDialogOpen(open);
                }
            });
        });
    };
    hooks.applyResult = [&office, &scheduler, &publisher](int panel, int32_t result) {
        scheduler.Post([&office, &publisher, panel, result] {
            office.ApplyAdvanceResult(panel, result);
            publisher.PublishSoon();
        });
    };
    return hooks;
}

}  // namespace miradel
