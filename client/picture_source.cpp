#include "client/picture_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "encoding/codepage.h"
#include "encoding/text_ops.h"

namespace sorvanel {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool IsWebPictureAddress(const Text& pictureAddress) {
  return StartsWith(pictureAddress.view(), "http://", Case::kIgnore) ||
         StartsWith(pictureAddress.view(), "https://", Case::kIgnore);
}

ByteSet ReadWholeFile(const Text& path) {
  if (path.empty()) return ByteSet();
  // The library holds the path in 936; the file system names files in UTF-8.
  const std::string fileSystemPath = ConvertCodePage(path.view(), kGbkCodePage, kUtf8CodePage);
  // O_NONBLOCK keeps a pipe without a writer from holding the call; regular files
  // ignore it.
  const FileDescriptor file(::open(fileSystemPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  const int fd = file.get();
  if (fd < 0) return ByteSet();
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return ByteSet();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return ByteSet();
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return ByteSet(std::move(bytes));
}

}  // namespace sorvanel
