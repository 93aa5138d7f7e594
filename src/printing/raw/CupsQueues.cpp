#include "printing/raw/CupsQueues.h"

#include <cups/cups.h>

#include <algorithm>

namespace miradel {

namespace {

// Called by libcups when an answer is overdue; 0 gives up at once.
int GiveUp(http_t*, void*) {
    return 0;
}

}  // namespace

std::vector<std::string> ListCupsQueues(const std::string& server, int timeoutMs) {
    timeoutMs = std::max(timeoutMs, 1);
    // "host", "host:port" or a socket path, read as the CUPS backend reads printer.cfg: a
    // port only after the single colon of a name (an IPv6 address keeps the default port).
    std::string host = server.empty() ? cupsServer() : server;
    int port = ippPort();
    if (!host.empty() && host[0] != '/') {
        const std::size_t colon = host.rfind(':');
        if (colon != std::string::npos && host.find(':') == colon && colon + 1 < host.size() &&
            host.size() - colon <= 6 &&
            std::all_of(host.begin() + colon + 1, host.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            const int value = std::stoi(host.substr(colon + 1));
            if (value > 0 && value <= 65535) {
                port = value;
                host.resize(colon);
            }
        }
    }
    int cancel = 0;
    http_t* http = httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                timeoutMs, &cancel);
    if (!http) {
        return {};
    }
    httpSetTimeout(http, timeoutMs / 1000.0, GiveUp, nullptr);
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        if (dests[i].name && *dests[i].name) {
            names.emplace_back(dests[i].name);
        }
    }
    cupsFreeDests(count, dests);
    httpClose(http);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace miradel
