#include "cli/ordered_jobs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace sorvanel::cli {
namespace {

constexpr std::chrono::milliseconds kProgressEvery{200};

PictureResult Guarded(const Work& work, std::size_t index) {
  try {
    return work(index);
  } catch (const std::exception& error) {
    return {ExitStatus::kService, {}, std::string("internal failure: ") + error.what()};
  }
}

}  // namespace

void RunInOrder(std::size_t count, int jobs, const Work& work, const Deliver& deliver,
                const Progress& progress) {
  const std::size_t threads = std::min(count, static_cast<std::size_t>(std::max(jobs, 1)));
  if (threads <= 1) {
    for (std::size_t i = 0; i < count; ++i) {
      PictureResult result = Guarded(work, i);
      progress(i + 1);
      deliver(i, result);
    }
    return;
  }

  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::optional<PictureResult>> results(count);
  std::size_t finished = 0;
  std::atomic<std::size_t> next{0};
  std::vector<std::jthread> workers;
  workers.reserve(threads);
  for (std::size_t t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      for (std::size_t i = next++; i < count; i = next++) {
        PictureResult result = Guarded(work, i);
        std::lock_guard lock(mutex);
        results[i] = std::move(result);
        ++finished;
        done.notify_one();
      }
    });
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_lock lock(mutex);
    std::size_t told = 0;
    while (!results[i]) {
      if (done.wait_for(lock, kProgressEvery) == std::cv_status::timeout || finished != told) {
        told = finished;
        lock.unlock();
        progress(told);
        lock.lock();
      }
    }
    PictureResult result = std::move(*results[i]);
    results[i].reset();
    const std::size_t finishedNow = finished;
    lock.unlock();
    progress(finishedNow);
    deliver(i, result);
  }
}

}  // namespace sorvanel::cli
