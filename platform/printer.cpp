#include "platform/printer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tillora {

void PrinterSystem::select(long index) {
    if (index < 0 || static_cast<std::size_t>(index) >= count()) {
        throw PrinterError("index out of range");
    }
    current_ = static_cast<std::size_t>(index);
}

Printer& PrinterSystem::current() {
    if (count() == 0) throw PrinterError("no printer is installed");
    // The list may have shrunk since the selection: fall back to the default printer.
    if (current_ >= count()) current_ = 0;
    return at(current_);
}

namespace {

[[noreturn]] void spool_failure(const std::string& action, const fs::path& path, int error) {
    throw PrinterError("cannot " + action + " " + path.string() + ": " + std::strerror(error));
}

// The number of a spool file name "job-NNNN.txt"; 0 for any other name.
long job_number(const std::string& name) {
    constexpr std::string_view prefix = "job-", suffix = ".txt";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::string digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stol(digits);
}

long highest_job(const fs::path& folder) {
    long highest = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        highest = std::max(highest, job_number(it->path().filename().string()));
    }
    if (ec) spool_failure("list", folder, ec.value());
    return highest;
}

std::string job_name(long number, const char* extension) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "job-%04ld.%s", number, extension);
    return buf;
}

// Writes `text` to a new temporary file in `folder` and returns its path; the caller renames it.
fs::path write_temporary(const fs::path& folder, const std::string& text) {
    std::string pattern = (folder / ".spool-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) spool_failure("write to", folder, errno);
    const fs::path path(pattern);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(path.c_str());
            spool_failure("write", path, error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0640) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        spool_failure("write", path, error);
    }
    return path;
}

// A printer that keeps the lines of the open job and writes them as one file at its end.
class SpoolPrinter : public Printer {
  public:
    explicit SpoolPrinter(fs::path folder) : folder_(std::move(folder)) {}

    std::string name() const override { return "Spool " + folder_.string(); }
    void set_font(const std::string& font_name) override { font_ = font_name; }
    void set_attribute(bool on) override { attribute_ = on; }
    void print_line(const std::string& line) override { lines_.push_back(line); }

    // On failure the lines stay buffered, so a later end of job can still deliver them.
    void end_job() override {
        if (lines_.empty()) return;
        std::error_code ec;
        fs::create_directories(folder_, ec);
        if (ec) spool_failure("create", folder_, ec.value());
        std::string text;
        for (const auto& line : lines_) text += line + "\n";
        const long first_free = highest_job(folder_) + 1;
        const long number = publish(write_temporary(folder_, text), first_free);
        lines_.clear();  // delivered; the companion below only describes the job
        const fs::path meta = write_temporary(
            folder_, "font=" + font_ + "\nattribute=" + (attribute_ ? "on" : "off") + "\n");
        fs::rename(meta, folder_ / job_name(number, "meta"), ec);
        if (ec) {
            ::unlink(meta.c_str());
            spool_failure("write", folder_ / job_name(number, "meta"), ec.value());
        }
    }

    bool has_open_job() const { return !lines_.empty(); }

  private:
    // Gives the temporary file the first free job name from `number` on. link() never replaces
    // an existing file, so two programs spooling into one folder cannot overwrite each other.
    long publish(const fs::path& temporary, long number) {
        for (;; ++number) {
            const fs::path target = folder_ / job_name(number, "txt");
            if (::link(temporary.c_str(), target.c_str()) == 0) break;
            if (errno != EEXIST) {
                const int error = errno;
                ::unlink(temporary.c_str());
                spool_failure("write", target, error);
            }
        }
        ::unlink(temporary.c_str());
        return number;
    }

    fs::path folder_;
    std::string font_;
    bool attribute_ = false;
    // A deque: a year's list of a million lines grows without moving the lines already kept
    // (a vector's growth moved them all at once, 40 ms the window could not repaint).
    std::deque<std::string> lines_;
};

}  // namespace

SpoolPrinterSystem::SpoolPrinterSystem(fs::path folder)
    : folder_(std::move(folder)), printer_(std::make_unique<SpoolPrinter>(folder_)) {}

// A job still open when the program ends is released, as the printer object does at exit.
SpoolPrinterSystem::~SpoolPrinterSystem() {
    auto& spool = static_cast<SpoolPrinter&>(*printer_);
    if (!spool.has_open_job()) return;
    try {
        spool.end_job();
    } catch (const PrinterError&) {
        // Nothing can report it any more.
    }
}

Printer& SpoolPrinterSystem::at(std::size_t index) {
    if (index != 0) throw PrinterError("index out of range");
    return *printer_;
}

}  // namespace tillora
