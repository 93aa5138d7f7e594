#include "printing/raw/CupsBackend.h"

#include <cups/cups.h>

#include <fmt/format.h>

#include <cerrno>
#include <cstring>

namespace miradel {

struct CupsBackend::Session {
    http_t* http = nullptr;
    std::string host;
    bool timedOut = false;  // libcups gave up waiting for an answer
    std::string printer;    // the queue of the open job
    int jobId = 0;
    bool documentOpen = false;
};

namespace {

// Called by libcups when an answer is overdue; 0 gives up at once.
int GiveUp(http_t*, void* session) {
    *static_cast<bool*>(session) = true;
    return 0;
}

std::string LastCupsError() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : "no answer";
}

// What to tell about a request that failed: a server that stopped answering says so, as
// libcups then reports whatever status it was left with.
std::string Why(bool timedOut, const std::string& host) {
    return timedOut ? fmt::format("CUPS server {} does not answer", host) : LastCupsError();
}

// "host", "host:631" or a socket path, as host and port for httpConnect2.
void SplitServer(const std::string& server, std::string& host, int& port) {
    host = server.empty() ? cupsServer() : server;
    port = ippPort();
    if (host.empty() || host[0] == '/') {
        return;
    }
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos || colon + 1 == host.size() ||
        host.find(':') != colon) {  // no port, or an IPv6 address without one
        return;
    }
    int value = 0;
    for (std::size_t i = colon + 1; i < host.size(); ++i) {
        if (host[i] < '0' || host[i] > '9' || value > 65535) {
            return;
        }
        value = value * 10 + (host[i] - '0');
    }
    if (value > 0 && value <= 65535) {
        port = value;
        host.resize(colon);
    }
}

bool Contains(const char* list, const char* word) {
    return list && std::strstr(list, word) != nullptr;
}

// Why a destination cannot print now, from the state CUPS reports; empty when it can. A
// printer that is merely busy or idle takes the job into its queue.
std::string Unusable(const cups_dest_t& dest) {
    const char* state = cupsGetOption("printer-state", dest.num_options, dest.options);
    const char* reasons = cupsGetOption("printer-state-reasons", dest.num_options, dest.options);
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest.num_options, dest.options);
    if (accepting && std::strcmp(accepting, "false") == 0) {
        return fmt::format("Printer {} does not accept jobs", dest.name);
    }
    if (Contains(reasons, "media-empty") || Contains(reasons, "media-needed")) {
        return fmt::format("Printer {} is out of paper", dest.name);
    }
    if (Contains(reasons, "offline")) {
        return fmt::format("Printer {} is offline", dest.name);
    }
    if (state && std::strcmp(state, "5") == 0) {
        return fmt::format("Printer {} is stopped", dest.name);
    }
    return {};
}

}  // namespace

CupsBackend::CupsBackend(CupsSettings settings)
    : settings_(std::move(settings)), session_(std::make_unique<Session>()) {
    if (settings_.timeoutMs <= 0) {
        settings_.timeoutMs = 1;
    }
}

CupsBackend::~CupsBackend() {
    if (session_->documentOpen || session_->jobId != 0) {
        EndJob();
    }
    Disconnect();
}

bool CupsBackend::Connect(std::string& error) {
    if (session_->http) {
        return true;
    }
    std::string host;
    int port = 0;
    SplitServer(settings_.server, host, port);
    int cancel = 0;
    http_t* http = httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                settings_.timeoutMs, &cancel);
    if (!http) {
        error =
            fmt::format("CUPS server {} cannot be reached (is the CUPS service running?)", host);
        return false;
    }
    session_->host = host;
    session_->timedOut = false;
    httpSetTimeout(http, settings_.timeoutMs / 1000.0, GiveUp, &session_->timedOut);
    session_->http = http;
    return true;
}

void CupsBackend::Disconnect() {
    if (session_->http) {
        httpClose(session_->http);
        session_->http = nullptr;
    }
}

PrinterLookup CupsBackend::CurrentPrinter() {
    if (!settings_.queue.empty()) {
        return {settings_.queue, ""};
    }
    PrinterLookup lookup;
    if (!Connect(lookup.error)) {
        return lookup;
    }
    cups_dest_t* dest = cupsGetNamedDest(session_->http, nullptr, nullptr);
    if (!dest) {
        // No default destination: the job reports that no printer name is given.
        if (session_->timedOut || (cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND &&
                                   cupsLastError() > IPP_STATUS_OK_CONFLICTING)) {
            lookup.error = fmt::format("CUPS default printer cannot be looked up: {}",
                                       Why(session_->timedOut, session_->host));
            Disconnect();
        }
        return lookup;
    }
    lookup.name = dest->name;
    cupsFreeDests(1, dest);
    return lookup;
}

BackendStatus CupsBackend::StartJob(const std::string& printerName, const std::string& title) {
    if (session_->jobId != 0) {
        EndJob();
    }
    BackendStatus status;
    if (!Connect(status.error)) {
        return status;
    }
    http_t* http = session_->http;
    cups_dest_t* dest = cupsGetNamedDest(http, printerName.c_str(), nullptr);
    if (!dest) {
        status.error = fmt::format("Printer {} is not known to CUPS: {}", printerName,
                                   Why(session_->timedOut, session_->host));
        Disconnect();
        return status;
    }
    status.error = Unusable(*dest);
    cupsFreeDests(1, dest);
    if (!status.Ok()) {
        Disconnect();
        return status;
    }
    const int jobId = cupsCreateJob(http, printerName.c_str(), title.c_str(), 0, nullptr);
    if (jobId == 0) {
        status.error = fmt::format("Printer {} refused the job: {}", printerName,
                                   Why(session_->timedOut, session_->host));
        Disconnect();
        return status;
    }
    session_->printer = printerName;
    session_->jobId = jobId;
    if (cupsStartDocument(http, printerName.c_str(), jobId, title.c_str(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        status.error = fmt::format("Printer {} refused the document: {}", printerName,
                                   Why(session_->timedOut, session_->host));
        cupsCancelJob2(http, printerName.c_str(), jobId, 0);
        session_->jobId = 0;
        Disconnect();
        return status;
    }
    session_->documentOpen = true;
    return status;
}

WriteOutcome CupsBackend::WriteBytes(std::string_view bytes) {
    WriteOutcome outcome;
    if (!session_->documentOpen) {
        outcome.error = "No CUPS job is open";
        return outcome;
    }
    if (cupsWriteRequestData(session_->http, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE) {
        outcome.error = fmt::format("CUPS stopped taking the job for {}: {}", session_->printer,
                                    Why(session_->timedOut, session_->host));
        return outcome;
    }
    outcome.written = bytes.size();
    return outcome;
}

BackendStatus CupsBackend::EndJob() {
    BackendStatus status;
    if (session_->jobId == 0) {
        return status;
    }
    if (session_->documentOpen) {
        session_->documentOpen = false;
        const ipp_status_t result = cupsFinishDocument(session_->http, session_->printer.c_str());
        if (result > IPP_STATUS_OK_CONFLICTING) {
            status.error = fmt::format("CUPS did not take the job for {}: {}", session_->printer,
                                       Why(session_->timedOut, session_->host));
        }
    }
    session_->jobId = 0;
    session_->printer.clear();
    Disconnect();
    return status;
}

bool CupsBackend::JobOpen() const {
    return session_->documentOpen;
}

}  // namespace miradel
