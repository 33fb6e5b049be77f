#include "media/PendingFile.h"

#include <fcntl.h>
#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vek::media {
namespace {

constexpr int kNewFileMode = 0666;  // before the umask, as for any file a program creates

std::string errno_text(const char* what, int code) { return std::string(what) + ": " + std::strerror(code); }

// renameat2 refuses an existing target atomically; file systems without
// RENAME_NOREPLACE get link + unlink, which refuses it just as atomically.
int rename_no_replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return errno;
  }
  if (link(from.c_str(), to.c_str()) != 0) {
    return errno;
  }
  unlink(from.c_str());
  return 0;
}

}  // namespace

std::optional<PendingFile> PendingFile::create(const std::filesystem::path& final_path, std::string& error) {
  std::string hidden = ".";  // appended, not "." + ...: GCC 12 warns wrongly about the operator+ (bug 105329)
  hidden.append(final_path.filename().string()).append(".XXXXXX.part");
  const std::string pattern = (final_path.parent_path() / hidden).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // Unlike mkstemps (always 0600), the published file gets the permissions
  // the umask gives any new file.
  const int fd = g_mkstemp_full(name.data(), O_RDWR | O_CLOEXEC, kNewFileMode);
  if (fd < 0) {
    error = errno_text("cannot create a file next to the output", errno);
    return std::nullopt;
  }
  close(fd);
  return PendingFile(std::filesystem::path(name.data()), final_path);
}

PendingFile::PendingFile(std::filesystem::path temp, std::filesystem::path final_path)
    : temp_(std::move(temp)), final_(std::move(final_path)) {}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : temp_(std::move(other.temp_)), final_(std::move(other.final_)), owned_(other.owned_) {
  other.owned_ = false;
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
  if (this != &other) {
    discard();
    temp_ = std::move(other.temp_);
    final_ = std::move(other.final_);
    owned_ = other.owned_;
    other.owned_ = false;
  }
  return *this;
}

PendingFile::~PendingFile() { discard(); }

void PendingFile::discard() noexcept {
  if (owned_) {
    unlink(temp_.c_str());
    owned_ = false;
  }
}

bool PendingFile::publish(std::string& error) {
  if (!owned_) {
    error = "nothing to publish";
    return false;
  }
  const int code = rename_no_replace(temp_, final_);
  if (code != 0) {
    error = errno_text(code == EEXIST ? "the output exists already" : "cannot publish the output", code);
    discard();
    return false;
  }
  owned_ = false;
  return true;
}

}  // namespace vek::media
