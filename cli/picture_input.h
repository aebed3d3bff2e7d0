// Where each picture comes from, and how its bytes reach the client's commands.
//
// A picture is a file, an http:// or https:// address, or "-" for standard input. The
// client's commands take a picture address: a file path in code page 936 or a web
// address. Files whose names survive the way to 936 and back are handed over by that
// name, as the window does; every other picture (standard input, a download, a file
// whose name 936 cannot hold) is handed over as an open descriptor's path
// (/proc/self/fd/N), the bytes in a private in-memory file when they are not in a file
// already. Nothing is written to disk and nothing outlives the process.
//
// Web pictures are downloaded here rather than by the commands, so that a failed
// download is told as such (refused, HTTP 404, ...) instead of being sent as an empty
// picture.
//
// Thread safety: every routine may run on any thread; PreparePicture makes web requests
// (bounded by the service configuration's time limits).
// Neutral result: a reason text in place of the picture when it cannot be had.
#ifndef SORVANEL_CLI_PICTURE_INPUT_H_
#define SORVANEL_CLI_PICTURE_INPUT_H_

#include <optional>
#include <string>
#include <string_view>

#include "encoding/text.h"

namespace sorvanel::cli {

// The most that standard input may bring. The service accepts pictures of a few
// megabytes; this leaves room for any of them and stops a runaway pipe from taking
// all memory.
inline constexpr std::size_t kMaxStandardInput = 64u << 20;

// Whether a picture is "-", a web address (http:// or https://, letters in any case)
// or a file.
bool IsStandardInput(std::string_view picture);
bool IsWebAddress(std::string_view picture);

// Why the local file `name` (UTF-8, as given) cannot be a picture, or nullopt when it
// is a readable, non-empty regular file. Makes no request.
std::optional<std::string> CheckPictureFile(const std::string& name);

// All of standard input, or the reason it cannot be had (nothing, too much, a read
// error). Blocks until standard input ends.
struct StandardInput {
  std::string bytes;
  std::optional<std::string> error;
};
StandardInput ReadStandardInput();

// A picture address for the client's commands, valid while the object lives.
class PictureAddress {
 public:
  explicit PictureAddress(Text address, int descriptor = -1)
      : address_(std::move(address)), descriptor_(descriptor) {}
  ~PictureAddress();
  PictureAddress(PictureAddress&& other) noexcept;
  PictureAddress& operator=(PictureAddress&&) = delete;
  PictureAddress(const PictureAddress&) = delete;
  PictureAddress& operator=(const PictureAddress&) = delete;

  const Text& address() const { return address_; }

 private:
  Text address_;
  int descriptor_;  // closed with the object; -1 for none
};

struct PreparedPicture {
  std::optional<PictureAddress> picture;
  std::string error;  // why there is none
};

// Makes `picture` (as given on the command line) ready for a command: a file by its
// 936 name or its descriptor, standard input from `standardInput` (the bytes read
// before), a web address downloaded first.
PreparedPicture PreparePicture(const std::string& picture, std::string_view standardInput);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_PICTURE_INPUT_H_
