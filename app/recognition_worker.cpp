#include "app/recognition_worker.h"

#include <QMetaObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

#include "client/text_extraction.h"

namespace sorvanel {
namespace {

std::atomic<int> abandonedRunning{0};

}  // namespace

struct RecognitionWorker::Job {
  bool fetchToken = false;
  std::vector<Text> paths;
};

// What the thread and the object share. The thread holds it too, so an abandoned
// thread never reaches freed memory; `owner` is cleared, under the mutex, before the
// object goes away, and the thread posts its result only while it is set.
struct RecognitionWorker::Shared {
  std::mutex mutex;
  std::condition_variable wake;
  std::optional<Job> pending;
  bool busy = false;     // from a start until its result is applied (GUI thread's view)
  bool running = false;  // while the thread works on a job
  bool stop = false;
  bool abandoned = false;  // the object went while a job ran
  RecognitionWorker* owner = nullptr;
  std::shared_ptr<AccessTokenKeeper> keeper;
};

RecognitionWorker::RecognitionWorker(std::shared_ptr<AccessTokenKeeper> keeper, QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>()) {
  shared_->owner = this;
  shared_->keeper = std::move(keeper);
  std::shared_ptr<Shared> shared = shared_;
  thread_ = std::thread([shared] {
    for (;;) {
      Job job;
      {
        std::unique_lock lock(shared->mutex);
        shared->wake.wait(lock, [&] { return shared->stop || shared->pending.has_value(); });
        if (!shared->pending) return;
        job = std::move(*shared->pending);
        shared->pending.reset();
        shared->running = true;
      }
      Text text;
      if (job.fetchToken) {
        shared->keeper->Fetch();
      } else {
        for (const Text& path : job.paths)
          text += ExtractRecognizedText(shared->keeper->Recognize(path));
      }
      std::lock_guard lock(shared->mutex);
      shared->running = false;
      RecognitionWorker* owner = shared->owner;
      if (!owner) {  // the result has no window to go to
        if (shared->abandoned) --abandonedRunning;
        return;
      }
      QMetaObject::invokeMethod(
          owner, [owner, job = std::move(job), text] { owner->Finish(job, text); },
          Qt::QueuedConnection);
    }
  });
}

RecognitionWorker::~RecognitionWorker() {
  bool running = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->owner = nullptr;
    shared_->stop = true;
    running = shared_->running || shared_->pending.has_value();
    if (running) {
      shared_->abandoned = true;
      ++abandonedRunning;
    }
  }
  shared_->wake.notify_all();
  if (running) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

bool RecognitionWorker::Busy() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->busy;
}

int RecognitionWorker::AbandonedRunning() { return abandonedRunning; }

bool RecognitionWorker::StartTokenFetch() { return Start(Job{.fetchToken = true, .paths = {}}); }

bool RecognitionWorker::StartRecognition(std::vector<Text> paths) {
  return Start(Job{.fetchToken = false, .paths = std::move(paths)});
}

bool RecognitionWorker::Start(Job job) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->busy) return false;
    shared_->busy = true;
    shared_->pending = std::move(job);
  }
  shared_->wake.notify_one();
  return true;
}

void RecognitionWorker::Finish(const Job& job, const Text& text) {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->busy = false;
  }
  if (job.fetchToken) {
    emit TokenFetched();
  } else {
    emit RecognitionFinished(text);
  }
}

}  // namespace sorvanel
