#include "cli/progress_line.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace sorvanel::cli {
namespace {

// Standard error is unbuffered: each piece goes out with one write.
void WriteError(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
    if (written <= 0) return;  // nothing useful to do when standard error is gone
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Carriage return, then erase to the end of the line.
constexpr std::string_view kClearLine = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine(std::size_t total, bool terminal)
    : active_(terminal && total > 1), total_(total), started_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Update(std::size_t done) {
  if (!active_) return;
  done_ = done;
  Draw();
}

void ProgressLine::Message(std::string_view line) {
  Clear();
  WriteError(std::string(line) + "\n");
  if (active_ && done_ < total_) Draw();
}

void ProgressLine::Clear() {
  if (!drawn_) return;
  WriteError(kClearLine);
  drawn_ = false;
}

void ProgressLine::Draw() {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  char line[96];
  std::snprintf(line, sizeof line, "%ssorvanel-ocr: %zu/%zu pictures, %.1f/s", kClearLine.data(),
                done_, total_, seconds > 0 ? done_ / seconds : 0.0);
  WriteError(line);
  drawn_ = true;
}

}  // namespace sorvanel::cli
