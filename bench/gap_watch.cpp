#include "bench/gap_watch.h"

#include <dlfcn.h>
#include <elf.h>
#include <execinfo.h>
#include <signal.h>
#include <time.h>

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tillora::bench {

namespace {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kSampleEvery = 4 * kMs;  // a stretch is sampled every 4 ms while it lasts
constexpr int kSampleSignal = SIGPROF;

// The samples the signal handler takes on the window's thread, of the stretch it interrupted.
struct SignalSamples {
    static constexpr int kMost = 16;
    void* frames[kMost][24];
    int count[kMost] = {};
    int taken = 0;
    std::uint64_t stretch = ~std::uint64_t{0};
};
SignalSamples g_samples;                          // written only on the window's thread
std::atomic<std::uint64_t>* g_stretch = nullptr;  // the watch's beat counter

void take_sample(int) {
    if (g_stretch == nullptr) return;
    const std::uint64_t stretch = g_stretch->load(std::memory_order_relaxed);
    if (g_samples.stretch != stretch) {
        g_samples.stretch = stretch;
        g_samples.taken = 0;
    }
    if (g_samples.taken == SignalSamples::kMost) return;
    const int i = g_samples.taken;
    g_samples.count[i] = backtrace(g_samples.frames[i], 24);
    g_samples.taken = i + 1;
}

std::string demangled(const char* name) {
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = status == 0 && plain != nullptr ? plain : name;
    std::free(plain);
    return out;
}

// "tillora::detail::Connection::step(sqlite3_stmt*, bool)" -> "Connection::step".
std::string short_name(std::string name) {
    if (const auto paren = name.find('('); paren != std::string::npos && paren > 0) {
        name.resize(paren);
    }
    for (const char* prefix : {"tillora::detail::", "tillora::"}) {
        if (name.rfind(prefix, 0) == 0) name.erase(0, std::string(prefix).size());
    }
    if (const auto anon = name.find("(anonymous namespace)::"); anon != std::string::npos) {
        name.erase(anon, 23);
    }
    return name;
}

bool uninteresting(const std::string& name) {
    return name.empty() || name == "??" || name.rfind("std::", 0) == 0 ||
           name.find("{lambda") != std::string::npos || name.find("bench::") != std::string::npos ||
           name.rfind("__", 0) == 0 || name.rfind("_Unwind", 0) == 0;
}

// Names of the executable's addresses, one addr2line run for all of them.
std::vector<std::string> names_in_executable(const std::vector<std::uintptr_t>& addresses) {
    std::vector<std::string> names(addresses.size());
    if (addresses.empty()) return names;
    std::string command = "addr2line -f -C -e /proc/" + std::to_string(getpid()) + "/exe";
    char hex[32];
    for (auto a : addresses) {
        std::snprintf(hex, sizeof hex, " 0x%zx", static_cast<std::size_t>(a));
        command += hex;
    }
    command += " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[4096];
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::fgets(line, sizeof line, pipe) == nullptr) break;
        names[i] = line;
        while (!names[i].empty() && names[i].back() == '\n') names[i].pop_back();
        if (std::fgets(line, sizeof line, pipe) == nullptr) break;  // the file:line line
    }
    pclose(pipe);
    return names;
}

// The frames of a sample as names, innermost first: the executable's through addr2line, a
// library's by its exported symbol, or its file name when the address is in none.
std::vector<std::string> frame_names(void* const* frames, int count) {
    Dl_info self{};
    dladdr(reinterpret_cast<void*>(&take_sample), &self);
    const bool relocatable = self.dli_fbase != nullptr &&
                             static_cast<const Elf64_Ehdr*>(self.dli_fbase)->e_type == ET_DYN;
    std::vector<std::string> names(static_cast<std::size_t>(count));
    std::vector<std::uintptr_t> in_exe;
    std::vector<std::size_t> in_exe_index;
    for (int i = 0; i < count; ++i) {
        // A return address points past its call; the interrupted frame (2) is exact.
        auto address = reinterpret_cast<std::uintptr_t>(frames[i]) - (i > 2 ? 1 : 0);
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(address), &info) == 0) continue;
        if (info.dli_fbase == self.dli_fbase) {
            in_exe.push_back(address -
                             (relocatable ? reinterpret_cast<std::uintptr_t>(self.dli_fbase) : 0));
            in_exe_index.push_back(static_cast<std::size_t>(i));
        } else if (info.dli_sname != nullptr) {
            names[static_cast<std::size_t>(i)] = demangled(info.dli_sname);
        } else if (info.dli_fname != nullptr) {
            std::string file = info.dli_fname;
            names[static_cast<std::size_t>(i)] = file.substr(file.rfind('/') + 1);
        }
    }
    const auto resolved = names_in_executable(in_exe);
    for (std::size_t k = 0; k < in_exe.size(); ++k) names[in_exe_index[k]] = resolved[k];
    return names;
}

bool engine_or_library(const std::string& name) {
    return name.rfind("sqlite3", 0) == 0 || name.find(".so") != std::string::npos;
}

// "fdatasync ... RecordFile::sync < finish_batch < write_and_mark": the innermost frame, then the
// program's own functions above it (the engine's and the libraries' frames between left out).
std::string describe(void* const* frames, int count) {
    const auto names = frame_names(frames, count);
    std::string out;
    int own = 0;
    std::string last;
    for (std::size_t i = 2; i < names.size() && own < 4; ++i) {  // 0, 1: the signal handler
        const std::string name = short_name(names[i]);
        if (out.empty()) {
            if (name.empty() || name == "??") continue;
            out = name;
            last = name;
            continue;
        }
        if (uninteresting(name) || engine_or_library(name) || name == last) continue;
        out += (own == 0 ? " ... " : " < ") + name;
        last = name;
        ++own;
    }
    return out;
}

}  // namespace

GapWatch::GapWatch() : window_(pthread_self()), last_beat_(now_ns()) {
    pthread_getcpuclockid(window_, &window_cpu_);
    void* warm[4];
    backtrace(warm, 4);  // loads the unwinder before a signal needs it
    g_stretch = &stretch_;
    struct sigaction action {};
    action.sa_handler = take_sample;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(kSampleSignal, &action, nullptr);
    watcher_ = std::thread([this] { watch(); });
}

GapWatch::~GapWatch() {
    stop_ = true;
    watcher_.join();
    signal(kSampleSignal, SIG_IGN);
    g_stretch = nullptr;
}

std::int64_t GapWatch::now_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::int64_t GapWatch::thread_cpu_ns() const {
    timespec t{};
    clock_gettime(window_cpu_, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

namespace {

// The samples the signal handler took in `stretch`; the caller blocks the signal meanwhile.
std::vector<std::vector<void*>> samples_of(std::uint64_t stretch) {
    std::vector<std::vector<void*>> out;
    for (int i = 0; g_samples.stretch == stretch && i < g_samples.taken; ++i) {
        out.emplace_back(g_samples.frames[i], g_samples.frames[i] + g_samples.count[i]);
    }
    return out;
}

// Where a stretch went, in order, each place once.
std::string places(const std::vector<std::vector<void*>>& samples) {
    std::vector<std::string> seen;
    std::string out;
    for (const auto& frames : samples) {
        std::string place = describe(frames.data(), static_cast<int>(frames.size()));
        if (std::find(seen.begin(), seen.end(), place) != seen.end()) continue;
        seen.push_back(place);
        out += (out.empty() ? "" : " | ") + place;
    }
    return out;
}

}  // namespace

void GapWatch::beat() {
    const std::int64_t now = now_ns();
    const std::int64_t gap = now - last_beat_.load(std::memory_order_relaxed);
    const std::uint64_t stretch = stretch_.load(std::memory_order_relaxed);
    // Only a stretch the watcher saw begin (half a millisecond or longer) has its CPU time read.
    std::int64_t cpu = 0;
    if (seen_stretch_.load(std::memory_order_acquire) == stretch) {
        cpu = thread_cpu_ns() - stretch_cpu_start_.load(std::memory_order_relaxed);
        // Read from the watcher, the thread's clock may lag by a scheduler tick (some ms).
        cpu = std::min(cpu, gap);
    }
    if (gap > longest_ns_ || cpu > busiest_cpu_ns_) {
        // A sample must not be taken while these are copied.
        sigset_t block, old;
        sigemptyset(&block);
        sigaddset(&block, kSampleSignal);
        pthread_sigmask(SIG_BLOCK, &block, &old);
        std::lock_guard lock(mutex_);
        if (gap > longest_ns_) {
            longest_ns_ = gap;
            longest_cpu_ns_ = cpu;
            longest_samples_ = samples_of(stretch);
        }
        if (cpu > busiest_cpu_ns_) {
            busiest_ns_ = gap;
            busiest_cpu_ns_ = cpu;
            busiest_samples_ = samples_of(stretch);
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
    }
    stretch_.fetch_add(1, std::memory_order_relaxed);
    last_beat_.store(now, std::memory_order_relaxed);
}

void GapWatch::watch() {
    std::uint64_t seen = ~std::uint64_t{0};
    std::int64_t next_sample = 0;  // elapsed time of the stretch at which to sample next
    while (!stop_) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        const std::uint64_t stretch = stretch_.load(std::memory_order_relaxed);
        const std::int64_t elapsed = now_ns() - last_beat_.load(std::memory_order_relaxed);
        if (stretch != seen) {
            // A new stretch began at most half a millisecond ago (more on a busy machine).
            seen = stretch;
            stretch_cpu_start_.store(thread_cpu_ns(), std::memory_order_relaxed);
            seen_stretch_.store(stretch, std::memory_order_release);
            next_sample = kSampleEvery;
            continue;
        }
        if (elapsed >= next_sample) {
            pthread_kill(window_, kSampleSignal);
            next_sample = elapsed + kSampleEvery;
        }
    }
}

Gaps GapWatch::gaps() {
    std::lock_guard lock(mutex_);
    Gaps g;
    g.longest = {static_cast<double>(longest_ns_) / kMs, static_cast<double>(longest_cpu_ns_) / kMs,
                 places(longest_samples_)};
    g.busiest = {static_cast<double>(busiest_ns_) / kMs, static_cast<double>(busiest_cpu_ns_) / kMs,
                 places(busiest_samples_)};
    return g;
}

}  // namespace tillora::bench
