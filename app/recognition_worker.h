// The window's worker thread: runs the token fetch and the recognitions away from the
// GUI thread, one request at a time, and hands each result back on the GUI thread.
//
// A job is started from the GUI thread and refused while another one runs (Busy()).
// When it ends, the worker emits its signal on the GUI thread, after Busy() has turned
// false again. Destroying the worker while a job runs does not wait for it: the thread
// is abandoned (it keeps what it needs alive, ends by itself within the web limits, and
// its result is dropped), so closing the window never waits on the network.
//
// Thread safety: a QObject of the GUI thread; its methods are called there only.
// Neutral result: a refused start returns false and changes nothing; a failed
// recognition gives the empty text.
#ifndef SORVANEL_APP_RECOGNITION_WORKER_H_
#define SORVANEL_APP_RECOGNITION_WORKER_H_

#include <QObject>
#include <memory>
#include <thread>
#include <vector>

#include "app/access_token_keeper.h"
#include "encoding/text.h"

namespace sorvanel {

class RecognitionWorker : public QObject {
  Q_OBJECT

 public:
  explicit RecognitionWorker(std::shared_ptr<AccessTokenKeeper> keeper, QObject* parent = nullptr);
  // Ends the thread when it is idle; abandons it when a job still runs.
  ~RecognitionWorker() override;

  // Whether a job runs now.
  bool Busy() const;

  // How many abandoned threads are still working on their job. While any is, the
  // program must end without tearing down what they may still use (see the program
  // entry); each ends by itself within the web limits.
  static int AbandonedRunning();

  // Fetches the access token into the keeper; TokenFetched follows. False when busy.
  [[nodiscard]] bool StartTokenFetch();

  // Recognises the pictures at `paths` one after another, in this order;
  // RecognitionFinished follows with their texts joined in the same order. False when
  // busy.
  [[nodiscard]] bool StartRecognition(std::vector<Text> paths);

 signals:
  void TokenFetched();
  // The recognised lines, in code page 936 (empty when nothing was recognised).
  void RecognitionFinished(const sorvanel::Text& text);

 private:
  struct Shared;
  struct Job;
  bool Start(Job job);
  void Finish(const Job& job, const Text& text);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace sorvanel

#endif  // SORVANEL_APP_RECOGNITION_WORKER_H_
