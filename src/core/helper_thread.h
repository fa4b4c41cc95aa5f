#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace bs {

// The one thread of an object that hands it work: the thread waits on `changed` under `mutex`
// and ends once it sees `stopped`.  As the object's last member it is destroyed first, so the
// thread is stopped and joined before any member it uses goes.
class HelperThread {
 public:
  HelperThread() = default;
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;
  ~HelperThread() {
    {
      std::lock_guard lock(mutex);
      stopped = true;
    }
    changed.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  template <class Work>
  void start(Work&& work) {
    thread_ = std::thread(std::forward<Work>(work));
  }

  std::mutex mutex;
  std::condition_variable changed;
  bool stopped = false;  // guarded by mutex

 private:
  std::thread thread_;
};

}  // namespace bs
