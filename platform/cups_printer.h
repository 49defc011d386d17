// Receipt printers reached through CUPS: the print queues of a CUPS server, fed either raw
// ESC/POS (a queue that passes data through unfiltered) or plain text (a queue with a driver).
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace tillora {

// How the lines of a job are sent to a queue.
enum class QueueMode {
    raw,   // ESC/POS: initialise, code page, font, the lines, feed-and-cut, sent unfiltered
    text,  // plain text lines for the queue's driver, no control bytes
};

// Where the CUPS back-end finds its server and how long it waits for it.
struct CupsSettings {
    // Host name, "host:port" or socket path; empty: the CUPS client's own choice
    // (CUPS_SERVER, client.conf, the local scheduler).
    std::string server;
    // Per-queue override of the queue mode, "queue1=raw,queue2=text" (TILLORA_QUEUE_MODE).
    std::string queue_modes;
    // To open a connection, and for one answer of the server. The CUPS client tries a request
    // twice and waits one second more each time, so a server that takes connections but never
    // answers fails a request after about 2 * (1 s + request timeout).
    int connect_timeout_ms = 3000;
    double request_timeout_s = 5;
    // Code pages of the raw queues, "receipt=PC850,bar=WPC1252" or one name for every queue
    // (TILLORA_QUEUE_CODEPAGE); see code_page_for_queue.
    std::string queue_code_pages{};
};

// The queue modes named in an override list "name=raw,name=text"; queue names are matched
// without regard to case. Entries that are not name=raw or name=text are ignored.
std::map<std::string, QueueMode> parse_queue_modes(const std::string& text);

// The mode CUPS tells for a queue: raw when its make and model is a raw queue's ("Local Raw
// Printer"), text otherwise (a queue with a driver renders the text).
QueueMode mode_of_queue(const std::string& make_and_model);

// The ESC/POS select-font command for a device font name: font A for "FontA11", font B for
// "FontB11", "Printer 16cpi" and "Printer 17cpi"; empty for any other name (the printer keeps its
// default font).
std::string escpos_font(const std::string& font_name);

class CupsPrinter;

// The print queues of a CUPS server in the order CUPS lists them (by name, without regard to
// case; printers that CUPS only discovered on the network and that are no queue are left out).
// The list is read when it is first needed (a program that prints nothing never asks CUPS) and,
// while it is empty, read again when it was last tried half a minute ago or more, so a server
// that starts later is found. No server: no printers (selecting fails as "index out of range").
class CupsPrinterSystem : public PrinterSystem {
  public:
    explicit CupsPrinterSystem(CupsSettings settings = {});
    // Releases a job still open, as the other back-ends do at the end of the program.
    ~CupsPrinterSystem() override;
    CupsPrinterSystem(const CupsPrinterSystem&) = delete;
    CupsPrinterSystem& operator=(const CupsPrinterSystem&) = delete;

    std::size_t count() const override;

  protected:
    Printer& at(std::size_t index) override;

  private:
    // Reads the queues of the server unless that was tried less than half a minute ago; an
    // unreachable server leaves the list empty.
    void load() const;

    CupsSettings settings_;
    mutable std::vector<std::unique_ptr<CupsPrinter>> printers_;
    mutable std::optional<std::chrono::steady_clock::time_point> last_load_;
};

}  // namespace tillora
