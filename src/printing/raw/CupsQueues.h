#pragma once
// The print queues a CUPS server offers, for the printer choice of the setup window.

#include <string>
#include <vector>

namespace miradel {

// The queue names, sorted and each once (instances of a queue are the same queue). Empty
// when no CUPS server answers within the timeout: the operator then picks a device file or a
// spool folder instead. `server` as in printer.cfg: empty for the system's own.
std::vector<std::string> ListCupsQueues(const std::string& server = {}, int timeoutMs = 2000);

}  // namespace miradel
