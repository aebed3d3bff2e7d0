#include "client/ocr_state.h"

#include <mutex>

namespace sorvanel {
namespace {

struct OcrState {
  std::mutex mutex;
  Text ocrEndpoint;
  Text ocrLastReply;
};

OcrState& State() {
  static OcrState state;
  return state;
}

// Every access copies under the lock, so no caller ever holds a reference into the
// shared values.
Text Read(Text OcrState::*value) {
  OcrState& state = State();
  std::lock_guard lock(state.mutex);
  return state.*value;
}

void Write(Text OcrState::*value, const Text& text) {
  OcrState& state = State();
  std::lock_guard lock(state.mutex);
  state.*value = text;
}

}  // namespace

Text OcrEndpoint() { return Read(&OcrState::ocrEndpoint); }

Text OcrLastReply() { return Read(&OcrState::ocrLastReply); }

void SetOcrEndpoint(const Text& endpoint) { Write(&OcrState::ocrEndpoint, endpoint); }

void SetOcrLastReply(const Text& reply) { Write(&OcrState::ocrLastReply, reply); }

}  // namespace sorvanel
