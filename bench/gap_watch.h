// The window's longest stretch without a repaint during one report, and where it went: the
// thread that runs the report calls beat() at every yield and repaint; a watcher thread takes a
// sample of that thread's stack while a stretch runs long, and reads its CPU clock.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>

namespace tillora::bench {

// The longest stretch: its length, the CPU time the window's thread spent in it (well below the
// length: the thread waited on the disk, a lock or the machine's scheduler) and where the thread
// was in it, sampled every 4 ms ("" when the stretch was too short to be sampled).
struct Gap {
    double ms = 0;
    double cpu_ms = 0;
    std::string where;
};

// The longest stretch, and the stretch in which the window's thread ran longest: the program's
// own gap, which a busy machine lengthens but does not make.
struct Gaps {
    Gap longest;
    Gap busiest;
};

class GapWatch {
  public:
    // Starts watching the calling thread; the first stretch starts now.
    GapWatch();
    ~GapWatch();
    GapWatch(const GapWatch&) = delete;
    GapWatch& operator=(const GapWatch&) = delete;

    // A yield or a repaint: ends the current stretch. Cheap; call it from the window's thread.
    void beat();
    // The stretches so far; call after the last beat. Names the frames of the samples with the
    // program's symbols (addr2line on this executable, the dynamic symbols of libraries).
    Gaps gaps();

  private:
    void watch();
    static std::int64_t now_ns();
    std::int64_t thread_cpu_ns() const;

    pthread_t window_;
    clockid_t window_cpu_{};
    std::atomic<std::int64_t> last_beat_;
    std::atomic<std::uint64_t> stretch_{0};  // counts the beats
    std::atomic<bool> stop_{false};

    // The stretch the watcher last saw begin, and the CPU clock of the window's thread then.
    std::atomic<std::uint64_t> seen_stretch_{~std::uint64_t{0}};
    std::atomic<std::int64_t> stretch_cpu_start_{0};

    std::mutex mutex_;  // guards what follows
    std::int64_t longest_ns_ = 0;
    std::int64_t longest_cpu_ns_ = 0;
    std::vector<std::vector<void*>> longest_samples_;  // the stack samples of the longest
    std::int64_t busiest_ns_ = 0;
    std::int64_t busiest_cpu_ns_ = 0;
    std::vector<std::vector<void*>> busiest_samples_;

    std::thread watcher_;
};

}  // namespace tillora::bench
