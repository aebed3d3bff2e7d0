// The one-line progress display of a batch on standard error: "done/total" and the
// pictures per second, redrawn in place and cleared at the end.
//
// It shows only when standard error is a terminal and the batch has more than one
// picture; otherwise every routine does nothing, so logs and pipes never see it.
// Messages written while it shows go through Message, which clears the line first.
// Thread safety: use from one thread (the one that delivers results).
// Neutral result: nothing is drawn when there is nothing to show.
#ifndef SORVANEL_CLI_PROGRESS_LINE_H_
#define SORVANEL_CLI_PROGRESS_LINE_H_

#include <chrono>
#include <cstddef>
#include <string_view>

namespace sorvanel::cli {

class ProgressLine {
 public:
  // Shows progress for `total` pictures when `terminal` (standard error is one) and
  // there is more than one picture.
  ProgressLine(std::size_t total, bool terminal);
  ~ProgressLine();  // clears the line
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Redraws with `done` pictures finished.
  void Update(std::size_t done);

  // Writes one message line to standard error, keeping it apart from the display.
  void Message(std::string_view line);

 private:
  void Clear();
  void Draw();

  bool active_;
  std::size_t total_;
  std::size_t done_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_PROGRESS_LINE_H_
