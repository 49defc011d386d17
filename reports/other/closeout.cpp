#include "reports/other/closeout.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "panel/form_load.h"
#include "panel/station.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/report_buttons.h"
#include "reports/other/store_indexes.h"
#include "summary/day_page.h"

namespace tillora {

namespace {

// One close-out at a time per installation: an flock on "closeout.lock" in the installation
// folder, held for the whole run. A second run (cron fired twice, an operator retry) is refused
// at once rather than waiting, so a cron job never hangs behind another. The kernel releases the
// lock when its holder ends in any way, so a lock file left by a killed run is simply taken over.
class CloseoutLock {
  public:
    explicit CloseoutLock(const std::filesystem::path& home) {
        const std::filesystem::path file = home / "closeout.lock";
        // A symbolic link or a special file in its place is refused, never followed or waited on.
        fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0640);
        struct stat info {};
        if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(fd_);
            fd_ = -1;
            errno = ENXIO;
        }
        if (fd_ < 0) {
            // A folder where nothing can be created: the run itself will fail and say why.
            const std::string why = errno == ELOOP   ? "it is a symbolic link"
                                    : errno == ENXIO ? "it is not a regular file"
                                                     : std::strerror(errno);
            problem_ = "the lock file " + file.string() + " cannot be opened (" + why +
                       "); running without it";
            return;
        }
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            held_elsewhere_ = errno == EWOULDBLOCK;
            if (held_elsewhere_) {
                holder_ = read_holder();
            } else {
                problem_ = "the lock file " + file.string() + " cannot be locked (" +
                           std::strerror(errno) + "); running without it";
            }
            return;
        }
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd_, 0) == 0) {
            [[maybe_unused]] ssize_t written = ::pwrite(fd_, pid.data(), pid.size(), 0);
        }
    }
    ~CloseoutLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    CloseoutLock(const CloseoutLock&) = delete;
    CloseoutLock& operator=(const CloseoutLock&) = delete;

    // True when another run holds the lock.
    bool held_elsewhere() const { return held_elsewhere_; }
    // The process number the holder wrote into the file ("" when unreadable).
    const std::string& holder() const { return holder_; }
    // Why the run goes on without the lock ("" when it holds it or was refused).
    const std::string& problem() const { return problem_; }

  private:
    std::string read_holder() const {
        char buffer[32] = {};
        const ssize_t n = ::pread(fd_, buffer, sizeof buffer - 1, 0);
        std::string text = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : "";
        while (!text.empty() && !std::isdigit(static_cast<unsigned char>(text.back()))) {
            text.pop_back();
        }
        return text;
    }

    int fd_ = -1;
    bool held_elsewhere_ = false;
    std::string holder_;
    std::string problem_;
};

// The unattended interface of the close-out run. It keeps the stop (critical) messages shown
// before the batch starts: a configuration database that is missing or cannot be read, a
// close-out file that cannot be replaced. The run goes on with every report, but such a problem
// makes it a failed run, written at the top of the close-out file.
class CloseoutUi : public UnattendedUi {
  public:
    using UnattendedUi::UnattendedUi;
    Answer message_box(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons, bool default_no) override {
        if (icon == Icon::Critical && !batch_started_) start_up_problems_.push_back(text);
        return UnattendedUi::message_box(text, title, icon, buttons, default_no);
    }
    // Hands over the problems seen so far; later messages belong to the reports.
    std::vector<std::string> start_batch() {
        batch_started_ = true;
        return std::move(start_up_problems_);
    }

  private:
    bool batch_started_ = false;
    std::vector<std::string> start_up_problems_;
};

// Starts the close-out file before the first report: created private (0640, it names card
// holders and members) whichever line comes first, a report's own or a failure line, and opened
// with one "*** Start-up problem: ..." line per problem, each also an entry in the failures.
void open_closeout_file(Station& s, const std::vector<std::string>& problems) {
    std::vector<std::string> lines;
    for (std::string text : problems) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        lines.push_back(escape_line_breaks(text));
        s.failures.push_back("Start-up: " + lines.back());
    }
    try {
        const std::filesystem::path file = s.path(s.st.closeoutfile);
        if (!file_exists(file)) create_private_file(file);
        for (const std::string& line : lines) append_line(file, "*** Start-up problem: " + line);
    } catch (const FileError&) {
        // The first report line that cannot be written tells it; the problems still reach
        // standard error and the exit status.
    }
}

// A store made before an index of the schema was added lacks it: the close-out says so and runs
// without it (its reports then read more than the day). Building an index holds the store's
// write lock for minutes on years of lines, longer than the register waits for a write, so it is
// built only when asked for (tillora-closeout --add-indexes), while the register is closed.
// A missing store is left to the reports to tell.
void tell_missing_indexes(Station& s, std::ostream& err) {
    if (s.st.xactdb.empty()) return;
    try {
        auto db = Database::open(s.path(s.st.xactdb));
        for (const std::string& name : missing_store_indexes(*db)) {
            err << "tillora-reports: " << s.st.xactdb << " lacks the index " << name
                << ", so the close-out reads more than the day; add it with tillora-closeout "
                   "--add-indexes while the register is closed\n";
        }
    } catch (const StoreError&) {
        // The reports tell what is wrong with the store.
    }
}

}  // namespace

bool is_closeout_command(const std::string& command_line) {
    return command_line.rfind("KVRUN", 0) == 0;
}

int run_closeout(const std::filesystem::path& home, const std::string& command_line,
                 std::ostream& err, const std::string& usage) {
    CloseoutUi ui(err);
    SystemClock clock;
    std::unique_ptr<PrinterSystem> printers = make_printer_system();
    Station s(Services{ui, *printers, clock, home});
    connect_reports(s);
    s.print_all = [&ui, print_all = s.print_all](Station& station) {
        open_closeout_file(station, ui.start_batch());
        if (print_all) print_all(station);
        write_closeout_page(station);
    };
    // Whether the date must be a calendar date or a session number is in the configuration:
    // start-up reads it (and writes nothing) before the date is checked.
    load_workstation(s);
    if (const std::string why = closeout_date_problem(command_line.substr(5), s.st.session);
        !why.empty()) {
        err << "tillora-reports: " << why << "; nothing was run\n"
            << "usage: " << usage << "\n";
        return kCloseoutBadDate;
    }
    const CloseoutLock lock(home);
    if (lock.held_elsewhere()) {
        err << "tillora-reports: another close-out is running on " << home.string()
            << (lock.holder().empty() ? "" : " (process " + lock.holder() + ")")
            << "; this run does nothing and leaves its close-out file alone\n";
        return kCloseoutAlreadyRunning;
    }
    if (!lock.problem().empty()) err << "tillora-reports: " << lock.problem() << "\n";
    tell_missing_indexes(s, err);
    start_mode(s, command_line);
    form_unload(s);
    if (!s.failures.empty()) {
        err << "tillora-reports: close-out finished with " << s.failures.size() << " failure(s)\n";
        return 1;
    }
    return 0;
}

int add_store_indexes(const std::filesystem::path& home, std::ostream& err) {
    CloseoutUi ui(err);
    SystemClock clock;
    std::unique_ptr<PrinterSystem> printers = make_printer_system();
    Station s(Services{ui, *printers, clock, home});
    load_workstation(s);
    try {
        auto db = Database::open(s.path(s.st.xactdb));
        for (const std::string& name : missing_store_indexes(*db)) {
            err << "tillora-closeout: " << s.st.xactdb << ": building the index " << name << "\n";
        }
        for (const std::string& name : add_missing_indexes(*db)) {
            err << "tillora-closeout: " << s.st.xactdb << ": built the index " << name << "\n";
        }
    } catch (const StoreError& e) {
        err << "tillora-closeout: " << s.st.xactdb << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace tillora
