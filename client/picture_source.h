// Where a recognition request takes its picture from: a web address or a local file.
#ifndef SORVANEL_CLIENT_PICTURE_SOURCE_H_
#define SORVANEL_CLIENT_PICTURE_SOURCE_H_

#include "encoding/text.h"

namespace sorvanel {

// Whether a picture address names a web picture: it begins with "http://" or
// "https://", with the ASCII letters compared without regard to case. Every other text
// is a file path, also one that merely contains "http" (a folder named httpdocs).
// Pure function, safe on any thread.
bool IsWebPictureAddress(const Text& pictureAddress);

// The whole content of the regular file at `path` (a 936 text, converted to the file
// system's UTF-8 before it is opened, so a name that 936 cannot hold cannot be given),
// opened for reading only (others may
// go on reading and writing it). A path that cannot be opened or read, names no regular
// file (a folder, a pipe, a device), or is empty gives the empty set. Never blocks on a
// pipe. Safe on any thread.
ByteSet ReadWholeFile(const Text& path);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_PICTURE_SOURCE_H_
