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

#include <pthread.h>

namespace tillora::bench {

// The longest stretch: its length, the CPU time the window's thread spent in it (well below the
// length: the thread waited on the disk, a lock or the machine's scheduler) and where the thread
// was when it was last sampled inside it ("" when the stretch was too short to be sampled).
struct Gap {
    double ms = 0;
    double cpu_ms = 0;
    std::string where;
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
    // The longest stretch so far; call after the last beat. Names the frames of the sample with
    // the program's symbols (addr2line on this executable, the dynamic symbols of libraries).
    Gap longest();

  private:
    static constexpr int kFrames = 24;
    struct Sample {
        void* frames[kFrames];
        int count = 0;
    };
    void watch();
    static std::int64_t now_ns();
    std::int64_t thread_cpu_ns() const;

    pthread_t window_;
    clockid_t window_cpu_{};
    std::atomic<std::int64_t> last_beat_;
    std::atomic<std::uint64_t> stretch_{0};  // counts the beats
    std::atomic<bool> stop_{false};

    std::mutex mutex_;  // guards what follows, shared with the watcher
    std::uint64_t seen_stretch_ = ~std::uint64_t{0};
    std::int64_t stretch_cpu_start_ = 0;
    std::int64_t next_sample_ = 0;  // elapsed ns of the stretch at which to sample next
    std::int64_t longest_ns_ = 0;
    std::int64_t longest_cpu_ns_ = 0;
    Sample longest_sample_;

    std::thread watcher_;
};

}  // namespace tillora::bench
