#include "platform/cups_printer.h"

#include <cups/cups.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"

namespace tillora {

namespace {

// ESC/POS commands.
const std::string esc_initialise = "\x1b@";
const std::string esc_font_a("\x1bM\x00", 3);
const std::string esc_font_b("\x1bM\x01", 3);
const std::string gs_feed_and_cut("\x1dV\x42\x00", 4);
// Drawer kick: pin 2, 50 ms on (25 x 2 ms), 500 ms off (250 x 2 ms).
const std::string esc_drawer_pulse("\x1bp\x00\x19\xfa", 5);

// How long an empty printer list is trusted before the server is asked again: long enough that
// an unreachable server does not slow down every line of a batch.
constexpr std::chrono::seconds reload_interval{30};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpClose>;

struct IppDelete {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

// The server of `settings` as host (or socket path) and port, the way the CUPS client reads
// CUPS_SERVER: a trailing ":port" on a host name sets the port.
std::pair<std::string, int> server_address(const CupsSettings& settings) {
    if (settings.server.empty()) return {cupsServer(), ippPort()};
    const std::string& server = settings.server;
    const auto colon = server.rfind(':');
    if (server[0] != '/' && colon != std::string::npos && colon + 1 < server.size() &&
        server.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
        return {server.substr(0, colon), std::atoi(server.c_str() + colon + 1)};
    }
    return {server, ippPort()};
}

std::string server_label(const CupsSettings& settings) {
    return settings.server.empty() ? std::string(cupsServer()) : settings.server;
}

// A connection to the server with the timeouts of `settings`; null when it cannot be reached.
Connection connect(const CupsSettings& settings) {
    const auto [host, port] = server_address(settings);
    Connection http(httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 settings.connect_timeout_ms, nullptr));
    // Without a callback a request that gets no answer within the timeout fails.
    if (http) httpSetTimeout(http.get(), settings.request_timeout_s, nullptr, nullptr);
    return http;
}

std::string last_cups_error() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : ippErrorString(cupsLastError());
}

bool failed(ipp_status_t status) {
    return status >= IPP_STATUS_REDIRECTION_OTHER_SITE;
}

// Throws PrinterError when `queue` is stopped or unknown: a job sent to a stopped queue would
// wait there instead of printing.
void check_not_stopped(http_t* http, const std::string& queue) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const wanted[] = {"printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  wanted);
    const std::unique_ptr<ipp_t, IppDelete> response(cupsDoRequest(http, request, "/"));
    if (!response || failed(cupsLastError())) {
        throw PrinterError("printer " + queue + ": " + last_cups_error());
    }
    ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
    if (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED) {
        ipp_attribute_t* message =
            ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
        const char* why = message ? ippGetString(message, 0, nullptr) : nullptr;
        throw PrinterError("printer " + queue + " is stopped" +
                           (why && *why ? std::string(": ") + why : std::string()));
    }
}

// Sends `data` to `queue` as one job of one document; the job is cancelled when the document
// does not arrive whole, so nothing is half-printed.
void send_job(http_t* http, const std::string& queue, const std::string& data, const char* format) {
    const int job = cupsCreateJob(http, queue.c_str(), "Tillora report", 0, nullptr);
    if (job == 0) throw PrinterError("printer " + queue + " refused the job: " + last_cups_error());
    const bool sent =
        cupsStartDocument(http, queue.c_str(), job, "report", format, 1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(http, data.data(), data.size()) == HTTP_STATUS_CONTINUE &&
        !failed(cupsFinishDocument(http, queue.c_str()));
    if (!sent) {
        const std::string why = last_cups_error();
        cupsCancelJob2(http, queue.c_str(), job, 0);
        throw PrinterError("printer " + queue + " did not take the job: " + why);
    }
}

}  // namespace

std::map<std::string, QueueMode> parse_queue_modes(const std::string& text) {
    std::map<std::string, QueueMode> modes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(',', start), text.size());
        const std::string entry = text.substr(start, end - start);
        const auto equals = entry.find('=');
        if (equals != std::string::npos) {
            const std::string queue = lower(trim(entry.substr(0, equals)));
            const std::string mode = lower(trim(entry.substr(equals + 1)));
            if (!queue.empty() && mode == "raw") modes[queue] = QueueMode::raw;
            if (!queue.empty() && mode == "text") modes[queue] = QueueMode::text;
        }
        start = end + 1;
    }
    return modes;
}

QueueMode mode_of_queue(const std::string& make_and_model) {
    return lower(make_and_model).find("raw") != std::string::npos ? QueueMode::raw
                                                                  : QueueMode::text;
}

std::string escpos_font(const std::string& font_name) {
    if (font_name == "FontA11") return esc_font_a;
    if (font_name == "FontB11" || font_name == "Printer 16cpi" || font_name == "Printer 17cpi") {
        return esc_font_b;
    }
    return "";
}

// One CUPS queue. The lines of a job are kept until the end of the job and then sent as one
// CUPS job, so a job that fails is not half-printed. A raw queue gets its text in the code
// page of the printer; a text queue gets UTF-8.
class CupsPrinter : public Printer {
  public:
    CupsPrinter(const CupsSettings& settings, std::string queue, std::string name, QueueMode mode,
                const CodePage& page)
        : settings_(settings),
          queue_(std::move(queue)),
          name_(std::move(name)),
          mode_(mode),
          encoder_(page) {}

    std::string name() const override { return name_; }

    void set_font(const std::string& font_name) override {
        if (font_name == font_) return;
        font_ = font_name;
        if (open_ && mode_ == QueueMode::raw) job_ += escpos_font(font_);
    }

    // The Boolean print attribute has no counterpart on a receipt printer.
    void set_attribute(bool) override {}

    void print_line(const std::string& line) override {
        if (!open_ && mode_ == QueueMode::raw) {
            job_ = esc_initialise + select_code_page(encoder_.page()) + escpos_font(font_);
        }
        open_ = true;
        job_ += mode_ == QueueMode::raw ? encoder_.encode(line) : line;
        job_ += '\n';
    }

    // On failure the lines stay kept, so a later end of job can still deliver them.
    void end_job() override {
        if (!open_) return;
        const Connection http = connect_to_queue();
        if (mode_ == QueueMode::raw) {
            send_job(http.get(), queue_, job_ + gs_feed_and_cut, CUPS_FORMAT_RAW);
        } else {
            send_job(http.get(), queue_, job_, CUPS_FORMAT_TEXT);
        }
        job_.clear();
        open_ = false;
    }

    // The pulse goes out as its own raw job, never through the text of a report's job, so
    // nothing done to report text can alter its bytes.
    void open_drawer() override {
        if (mode_ != QueueMode::raw) return;
        const Connection http = connect_to_queue();
        send_job(http.get(), queue_, esc_drawer_pulse, CUPS_FORMAT_RAW);
    }

    bool has_open_job() const { return open_; }

  private:
    // A connection to the server, with the queue known not to be stopped. Throws PrinterError.
    Connection connect_to_queue() const {
        errno = 0;
        Connection http = connect(settings_);
        if (!http) {
            const int error = errno;
            throw PrinterError("cannot reach the CUPS server " + server_label(settings_) +
                               (error ? std::string(": ") + std::strerror(error) : std::string()));
        }
        check_not_stopped(http.get(), queue_);
        return http;
    }

    const CupsSettings& settings_;
    std::string queue_;
    std::string name_;
    QueueMode mode_;
    CodePageEncoder encoder_;
    std::string font_;
    bool open_ = false;
    std::string job_;  // the bytes of the open job, without its closing command
};

CupsPrinterSystem::CupsPrinterSystem(CupsSettings settings) : settings_(std::move(settings)) {}

CupsPrinterSystem::~CupsPrinterSystem() {
    for (const auto& printer : printers_) {
        if (!printer->has_open_job()) continue;
        try {
            printer->end_job();
        } catch (const PrinterError&) {
            // Nothing can report it any more.
        }
    }
}

std::size_t CupsPrinterSystem::count() const {
    if (printers_.empty()) load();
    return printers_.size();
}

Printer& CupsPrinterSystem::at(std::size_t index) {
    if (index >= count()) throw PrinterError("index out of range");
    return *printers_[index];
}

void CupsPrinterSystem::load() const {
    using Clock = std::chrono::steady_clock;
    if (last_load_ && Clock::now() - *last_load_ < reload_interval) return;
    cups_dest_t* dests = nullptr;
    int n = 0;
    if (const Connection http = connect(settings_)) n = cupsGetDests2(http.get(), &dests);
    last_load_ = Clock::now();
    const auto overrides = parse_queue_modes(settings_.queue_modes);
    for (int i = 0; i < n; ++i) {
        const cups_dest_t& dest = dests[i];
        const char* type = cupsGetOption("printer-type", dest.num_options, dest.options);
        if (type && (std::strtoul(type, nullptr, 0) & CUPS_PRINTER_DISCOVERED)) continue;
        const char* model = cupsGetOption("printer-make-and-model", dest.num_options, dest.options);
        const std::string queue = dest.name;
        const auto chosen = overrides.find(lower(queue));
        const QueueMode mode =
            chosen != overrides.end() ? chosen->second : mode_of_queue(model ? model : "");
        const std::string name = dest.instance ? queue + "/" + dest.instance : queue;
        const char* option = cupsGetOption("tillora-codepage", dest.num_options, dest.options);
        const CodePage page =
            code_page_for_queue(settings_.queue_code_pages, queue, option ? option : "");
        printers_.push_back(std::make_unique<CupsPrinter>(settings_, queue, name, mode, page));
    }
    cupsFreeDests(n, dests);
}

std::unique_ptr<PrinterSystem> make_printer_system() {
    const char* spool = std::getenv("TILLORA_SPOOL");
    if (spool && *spool) return std::make_unique<SpoolPrinterSystem>(spool);
    CupsSettings settings;
    if (const char* modes = std::getenv("TILLORA_QUEUE_MODE")) settings.queue_modes = modes;
    if (const char* pages = std::getenv("TILLORA_QUEUE_CODEPAGE")) {
        settings.queue_code_pages = pages;
    }
    return std::make_unique<CupsPrinterSystem>(std::move(settings));
}

}  // namespace tillora
