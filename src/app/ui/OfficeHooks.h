#pragma once
// The main window's hooks over a running office: every booth operation is posted to the
// engine thread, so that the window thread never waits for it.
#include "app/Office.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PanelFeed.h"
#include "common/Scheduler.h"

namespace miradel {

// The caption, the dialog-open flag and the advance dialog's result; the caller adds the
// close request. After an applied result the booths are published again at once.
MainWindowHooks OfficeHooks(Office& office, Scheduler& scheduler, PanelPublisher& publisher);

}  // namespace miradel
