#include "platform/ui.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>

namespace tillora {

namespace {

// Reads exactly one int from `fd`; false at end of file (the writer closed without writing).
bool read_int(int fd, int& value) {
    ssize_t n;
    do {
        n = ::read(fd, &value, sizeof value);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof value);
}

pid_t wait_for(pid_t pid) {
    pid_t r;
    int status = 0;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r;
}

}  // namespace

// Starts the program in a grandchild process whose parent exits at once: the program is adopted
// by init, so nobody has to wait for it and it never lingers as a zombie. A close-on-exec pipe
// tells whether the exec itself succeeded.
bool Ui::start_program(const std::string& path) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipe_fds[0]);
        ::close(pipe_fds[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        ::close(pipe_fds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execv(path.c_str(), argv);
            const int error = errno;
            ssize_t ignored = ::write(pipe_fds[1], &error, sizeof error);
            (void)ignored;
            ::_exit(127);
        }
        if (grandchild < 0) {
            const int error = errno;
            ssize_t ignored = ::write(pipe_fds[1], &error, sizeof error);
            (void)ignored;
        }
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    wait_for(child);
    int error = 0;
    const bool failed = read_int(pipe_fds[0], error);
    ::close(pipe_fds[0]);
    return !failed;
}

std::string escape_line_breaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (text[i] == '\n') {
            out += "\\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

void ScriptedUi::record(const std::string& line) {
    shown.push_back(line);
    if (out_ != nullptr) *out_ << line << '\n' << std::flush;
}

Answer ScriptedUi::message_box(const std::string& text, const std::string& title, Icon,
                               Buttons buttons, bool default_no) {
    const std::string box = escape_line_breaks(title) + " | " + escape_line_breaks(text);
    if (buttons == Buttons::Ok) {
        record("MSGBOX " + box);
        return Answer::Ok;
    }
    bool yes = !default_no;
    if (!answers.empty()) {
        yes = answers.front();
        answers.pop_front();
    }
    record("QUESTION " + box + " -> " + (yes ? "yes" : "no"));
    return yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> ScriptedUi::input_box(const std::string& prompt,
                                                 const std::string& title, const std::string&) {
    std::optional<std::string> answer;
    if (!inputs.empty()) {
        answer = inputs.front();
        inputs.pop_front();
    }
    std::string line =
        "INPUT " + escape_line_breaks(title) + " | " + escape_line_breaks(prompt) + " ->";
    if (answer) line += " " + escape_line_breaks(*answer);
    record(line);
    return answer;
}

std::string ScriptedUi::file_dialog(const FileDialogRequest& request) {
    std::string path;
    if (!files.empty()) {
        path = files.front();
        files.pop_front();
    }
    std::string line = "FILEDIALOG " + escape_line_breaks(request.title) + " ->";
    if (!path.empty()) line += " " + escape_line_breaks(path);
    record(line);
    return path;
}

void ScriptedUi::yield() {
    ++yields;
    if (!on_yield || in_yield_hook_) return;
    // Cleared again however the hook ends, so a hook that throws does not disable later ones.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{in_yield_hook_};
    in_yield_hook_ = true;
    on_yield();
}

bool ScriptedUi::start_program(const std::string& path) {
    started.push_back(path);
    return true;
}

Answer UnattendedUi::message_box(const std::string& text, const std::string& title, Icon,
                                 Buttons buttons, bool default_no) {
    // A question answered with its default is not news; a message may be.
    if (buttons == Buttons::YesNo) return default_no ? Answer::No : Answer::Yes;
    err_ << escape_line_breaks(title) << ": " << escape_line_breaks(text) << '\n' << std::flush;
    return Answer::Ok;
}

std::optional<std::string> UnattendedUi::input_box(const std::string&, const std::string&,
                                                   const std::string&) {
    return std::nullopt;
}

std::string UnattendedUi::file_dialog(const FileDialogRequest&) {
    return "";
}

void run_beside_window(Ui& ui, const std::function<void()>& work) {
    // The window may already have gone some milliseconds without a repaint: one now, then one
    // every 4 ms until the work is done.
    ui.keep_alive();
    auto done = std::async(std::launch::async, work);
    while (done.wait_for(std::chrono::milliseconds(4)) != std::future_status::ready) {
        ui.keep_alive();
    }
    done.get();
}

}  // namespace tillora
