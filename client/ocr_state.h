// The two library-wide values that every recognition request writes.
//
// ocrEndpoint is the endpoint address (without token) that the latest recognition
// request selected; ocrLastReply is that request's converted reply. Both are empty
// before the first request. A request with a kind that selects no endpoint posts to
// whatever ocrEndpoint holds.
//
// Both are guarded by one mutex, because the window runs requests on a worker thread:
// the accessors return copies and are safe on any thread. When requests run on several
// threads at once, each value is the one of whichever request wrote it last.
#ifndef SORVANEL_CLIENT_OCR_STATE_H_
#define SORVANEL_CLIENT_OCR_STATE_H_

#include "encoding/text.h"

namespace sorvanel {

// A copy of ocrEndpoint.
Text OcrEndpoint();

// A copy of ocrLastReply.
Text OcrLastReply();

// Used by the recognition commands: replace the values.
void SetOcrEndpoint(const Text& endpoint);
void SetOcrLastReply(const Text& reply);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_OCR_STATE_H_
