// The CUPS back-end against a private, real CUPS scheduler (tests/cups/start_cupsd.sh): a raw
// queue whose device is a socket listener of this test, which records every byte it receives,
// a text queue with a pass-through driver writing to a file, a stopped and a rejecting queue.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/cups_printer.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace tillora {
namespace {

const std::string script_dir = std::string(TILLORA_SOURCE_DIR) + "/tests/cups/";

int run(const std::string& command) {
    return std::system(command.c_str());
}

// `text` as one word of a shell command.
std::string shell_word(const std::string& text) {
    return "'" + text + "'";
}

// One private scheduler for the whole suite with the queues of tests/cups/add_test_queues.sh; the
// raw queues print to a socket of the suite.
class CupsQueues : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!fs::exists("/usr/sbin/cupsd") || !fs::exists("/usr/sbin/lpadmin")) return;
        char pattern[] = "/tmp/tillora-cups-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make a temporary folder");
        dir_ = new fs::path(pattern);
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        const std::string folder = shell_word(dir_->string()) + " ";
        started_ =
            ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), size) == 0 &&
            ::listen(listener_, 8) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &size) == 0 &&
            run(shell_word(script_dir + "start_cupsd.sh") + " " + folder + ">/dev/null") == 0 &&
            run(shell_word(script_dir + "add_test_queues.sh") + " " + folder +
                "socket://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + " 2>/dev/null") == 0;
        if (started_) ::setenv("CUPS_SERVER", socket().c_str(), 1);
    }

    static void TearDownTestSuite() {
        if (!dir_) return;
        run(shell_word(script_dir + "stop_cupsd.sh") + " " + shell_word(dir_->string()));
        ::unsetenv("CUPS_SERVER");
        ::close(listener_);
        fs::remove_all(*dir_);
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        if (!dir_) GTEST_SKIP() << "cupsd (package cups) or lpadmin (cups-client) not installed";
        ASSERT_TRUE(started_) << "the private cupsd did not start; see " << *dir_ << "/log";
    }

    static std::string socket() { return (*dir_ / "cups.sock").string(); }
    static fs::path text_file() { return *dir_ / "text-out.txt"; }

    // The printer system of the private scheduler with printer `index` selected.
    static std::unique_ptr<CupsPrinterSystem> printers(long index, std::string modes = "",
                                                       std::string code_pages = "") {
        auto system = std::make_unique<CupsPrinterSystem>(
            CupsSettings{.server = socket(), .queue_modes = modes, .queue_code_pages = code_pages});
        system->select(index);
        return system;
    }

    // The bytes of the next job of a raw queue, waiting at most a minute for it. The queue's
    // back-end waits for the printer to close, so its connection may wait in the backlog.
    static std::string next_job() {
        pollfd wait{listener_, POLLIN, 0};
        if (::poll(&wait, 1, 60000) <= 0) return "(no job within a minute)";
        const int client = ::accept(listener_, nullptr, nullptr);
        std::string bytes;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(client, buffer, sizeof buffer, 0)) > 0;) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(client);
        return bytes;
    }

    // What the text queue's device file holds once it equals `expected`, or after a minute.
    static std::string text_output(const std::string& expected) {
        std::string text;
        for (int i = 0; i < 600 && text != expected; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            text = fs::exists(text_file()) ? test::read_file(text_file()) : "";
        }
        return text;
    }

    static inline fs::path* dir_ = nullptr;
    static inline int listener_ = -1;
    static inline bool started_ = false;
};

const std::string kCut("\x1dV\x42\x00", 4);
// José Piña Müller 5€ ✓ (octal escapes: a hexadecimal one would take the letters after it)
const std::string kNames = "Jos\303\251 Pi\303\261a M\303\274ller 5\342\202\254 \342\234\223";
// A receipt's lines: a report line, then the blank lines of the paper feed.
const std::string kReceipt =
    "All Closed Tickets\n" + std::string(39, ' ') + "\n" + std::string(39, ' ') + "\n";

// Prints `text` (lines ending in "\n") as one job in `font`.
void print_job(Printer& printer, const std::string& font, const std::string& text) {
    printer.set_font(font);
    printer.set_attribute(false);
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        printer.print_line(text.substr(at, end - at));
    }
    printer.end_job();
}

TEST_F(CupsQueues, ListsTheQueuesInTheOrderCupsGives) {
    auto system = printers(0);
    ASSERT_EQ(system->count(), 4u);
    const char* const names[] = {"Alpha-Raw", "bravo-text", "Charlie-Stopped", "delta-refusing"};
    for (long i = 0; i < 4; ++i) {
        system->select(i);
        EXPECT_EQ(system->current().name(), names[i]);
    }
}

// Each ended job is one ESC/POS job: initialise, the code page (PC858 unless set otherwise), the
// font, the lines in the code page ("?" for a character it lacks), the cut.
TEST_F(CupsQueues, RawQueueGetsOneEscPosJobPerEndOfJob) {
    const std::string a("\x1bM\x00", 3), b("\x1bM\x01", 3), pc858 = "\x1bt\x13";
    const std::tuple<const char*, const char*, std::string, std::string> cases[] = {
        {"", "FontA11", kReceipt, pc858 + a + kReceipt},
        {"", "FontB11", "x\n", pc858 + b + "x\n"},
        {"", "Printer 16cpi", "x\n", pc858 + b + "x\n"},
        {"", "Printer 17cpi", "x\n", pc858 + b + "x\n"},
        {"", "Courier", "x\n", pc858 + "x\n"},
        {"", "FontB11", kNames + "\n", pc858 + b + "Jos\202 Pi\244a M\201ller 5\325 ?\n"},
        {"alpha-raw=PC437", "FontB11", kNames + "\n",
         std::string("\x1bt\x00", 3) + b + "Jos\202 Pi\244a M\201ller 5? ?\n"},
        {"WPC1252", "FontB11", kNames + "\n",
         "\x1bt\x10" + b + "Jos\351 Pi\361a M\374ller 5\200 ?\n"},
    };
    for (const auto& [pages, font, text, job] : cases) {
        auto system = printers(0, "", pages);
        print_job(system->current(), font, text);
        EXPECT_EQ(next_job(), "\x1b@" + job + kCut) << font << " " << pages;
    }
}

TEST_F(CupsQueues, TextQueueAndARawQueueSetToTextGetThePlainLinesInUtf8) {
    print_job(printers(1)->current(), "FontB11", kReceipt + kNames + "\n");
    EXPECT_EQ(text_output(kReceipt + kNames + "\n"), kReceipt + kNames + "\n");
    print_job(printers(0, " alpha-raw = text ,bravo-text=raw")->current(), "FontA11", kReceipt);
    EXPECT_EQ(next_job(), kReceipt);
}

TEST_F(CupsQueues, StoppedOrRejectingQueueFailsTheJob) {
    const std::pair<long, const char*> cases[] = {{2, "is stopped"}, {3, "refused the job"}};
    for (const auto& [index, reason] : cases) {
        try {
            print_job(printers(index)->current(), "FontA11", kReceipt);
            ADD_FAILURE() << "no failure on printer " << index;
        } catch (const PrinterError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
}

TEST_F(CupsQueues, PrinterSystemOfTheMachineFollowsTillora_Spool) {
    const char* outer = std::getenv("TILLORA_SPOOL");
    const std::string saved = outer ? outer : "";
    ::unsetenv("TILLORA_SPOOL");
    auto cups = make_printer_system();
    ::setenv("TILLORA_SPOOL", (*dir_ / "spool-out").c_str(), 1);
    auto spool = make_printer_system();
    outer ? ::setenv("TILLORA_SPOOL", saved.c_str(), 1) : ::unsetenv("TILLORA_SPOOL");
    EXPECT_EQ(cups->count(), 4u);  // the private scheduler's queues, not the one spool printer
    auto* spool_system = dynamic_cast<SpoolPrinterSystem*>(spool.get());
    ASSERT_NE(spool_system, nullptr);
    EXPECT_EQ(spool_system->folder(), *dir_ / "spool-out");
}

// The cash drawer's pulse reaches a raw queue as a job of its own, while a receipt's job is still
// open; a stopped queue refuses it as it refuses a receipt.
TEST_F(CupsQueues, RawQueueGetsTheDrawerPulseAsAJobOfItsOwn) {
    auto system = printers(0);
    Printer& printer = system->current();
    printer.print_line("Drawer Count");
    printer.open_drawer();
    EXPECT_EQ(next_job(), std::string("\x1bp\x00\x19\xfa", 5));
    printer.end_job();
    EXPECT_EQ(next_job(), "\x1b@\x1bt\x13" + std::string("Drawer Count\n") + kCut);
    EXPECT_THROW(printers(2)->current().open_drawer(), PrinterError);
}

// A server that is missing, or that takes connections and never answers: no printers, and
// selecting fails as out of range instead of waiting.
TEST(CupsServerMissing, HasNoPrinters) {
    test::TempDir dir;
    const fs::path silent = dir / "silent.sock";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", silent.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 8), 0);
    for (const fs::path& server : {dir / "missing.sock", silent}) {
        CupsPrinterSystem system({.server = server.string(),
                                  .queue_modes = "",
                                  .connect_timeout_ms = 500,
                                  .request_timeout_s = 0.5});
        EXPECT_EQ(system.count(), 0u) << server;
        EXPECT_THROW(system.select(0), PrinterError) << server;
    }
    ::close(fd);
}

}  // namespace
}  // namespace tillora
