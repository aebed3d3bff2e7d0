#include "cli/picture_input.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "encoding/codepage.h"
#include "encoding/text_ops.h"
#include "web/web_failure.h"
#include "web/web_request.h"

namespace sorvanel::cli {
namespace {

// The path under which the client's whole-file read opens an open descriptor.
Text DescriptorPath(int descriptor) { return Text("/proc/self/fd/" + std::to_string(descriptor)); }

// `bytes` in a private in-memory file: its descriptor, or -1.
int InMemoryFile(std::string_view bytes) {
  const int descriptor = ::memfd_create("sorvanel-picture", MFD_CLOEXEC);
  if (descriptor < 0) return -1;
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      ::close(descriptor);
      return -1;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return descriptor;
}

PreparedPicture FromBytes(std::string_view bytes) {
  const int descriptor = InMemoryFile(bytes);
  if (descriptor < 0)
    return {std::nullopt, std::string("cannot hold the picture: ") + std::strerror(errno)};
  return {PictureAddress(DescriptorPath(descriptor), descriptor), {}};
}

// A web address as the wire wants it: bytes outside printable ASCII percent-encoded,
// as a browser does with a typed address, so a UTF-8 path goes out as UTF-8 and the
// address is the same text in 936.
std::string WireAddress(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string wire;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
      wire += c;
    } else {
      wire += '%';
      wire += kHex[byte >> 4];
      wire += kHex[byte & 0x0F];
    }
  }
  return wire;
}

// The status code of a reply's header block ("HTTP/1.1 404 Not Found" gives 404), or 0.
int StatusOf(std::string_view headerBlock) {
  const std::size_t space = headerBlock.find(' ');
  if (space == std::string_view::npos || headerBlock.size() < space + 4) return 0;
  int status = 0;
  for (const char c : headerBlock.substr(space + 1, 3)) {
    if (c < '0' || c > '9') return 0;
    status = status * 10 + (c - '0');
  }
  return status;
}

PreparedPicture Download(const std::string& address) {
  Text replyHeaders;
  const ByteSet bytes =
      WebRequest(Text(WireAddress(address)), 0, Text(), nullptr, nullptr, nullptr, &replyHeaders);
  const WebFailure failure = LastWebFailure();
  if (failure != WebFailure::kNone) {
    return {std::nullopt, std::string("cannot download: ") + WebFailureText(failure)};
  }
  const int status = StatusOf(replyHeaders.view());
  if (status < 200 || status > 299) {
    return {std::nullopt, "cannot download: HTTP status " + std::to_string(status)};
  }
  if (bytes.empty()) return {std::nullopt, "cannot download: the reply is empty"};
  return FromBytes(bytes.view());
}

}  // namespace

bool IsStandardInput(std::string_view picture) { return picture == "-"; }

bool IsWebAddress(std::string_view picture) {
  return StartsWith(picture, "http://", Case::kIgnore) ||
         StartsWith(picture, "https://", Case::kIgnore);
}

std::optional<std::string> CheckPictureFile(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "is a directory";
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  const int descriptor = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return std::strerror(errno);
  ::close(descriptor);
  if (info.st_size == 0) return "empty file";
  return std::nullopt;
}

StandardInput ReadStandardInput() {
  StandardInput input;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
    if (input.bytes.size() + got > kMaxStandardInput) {
      input.error =
          "standard input holds more than " + std::to_string(kMaxStandardInput >> 20) + " MiB";
      return input;
    }
    input.bytes.append(buffer, got);
  }
  if (std::ferror(stdin)) {
    input.error = std::string("cannot read standard input: ") + std::strerror(errno);
  } else if (input.bytes.empty()) {
    input.error = "no picture on standard input";
  }
  return input;
}

PictureAddress::~PictureAddress() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

PictureAddress::PictureAddress(PictureAddress&& other) noexcept
    : address_(std::move(other.address_)), descriptor_(std::exchange(other.descriptor_, -1)) {}

PreparedPicture PreparePicture(const std::string& picture, std::string_view standardInput) {
  if (IsStandardInput(picture)) return FromBytes(standardInput);
  if (IsWebAddress(picture)) return Download(picture);
  const std::string gbk = ConvertCodePage(picture, kUtf8CodePage, kGbkCodePage);
  if (ConvertCodePage(gbk, kGbkCodePage, kUtf8CodePage) == picture) {
    return {PictureAddress(Text(gbk)), {}};
  }
  // A name that 936 cannot hold would reach the file system changed: the file is
  // opened here by its own name and handed over by its descriptor.
  const int descriptor = ::open(picture.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return {std::nullopt, std::strerror(errno)};
  return {PictureAddress(DescriptorPath(descriptor), descriptor), {}};
}

}  // namespace sorvanel::cli
