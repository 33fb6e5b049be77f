#include "base/files/Publisher.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/files/TemporaryCleanup.h"
#include "base/files/TemporaryName.h"

namespace vek::base {
namespace {

constexpr int kNameAttempts = 100;     // a clash of fresh names is already unlikely
constexpr mode_t kNewFileMode = 0666;  // the umask decides, as for any new file

FileError errno_error(const std::filesystem::path& target, const char* what, int code) {
  return {target.string() + ": " + what, std::string(what) + ": " + std::strerror(code)};
}

// Locked so that a sweep at start sees the file is in use; checked after
// locking, since a sweep may remove the name between our open and our lock.
int create_locked(const std::filesystem::path& temp) {
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return -1;
  struct stat opened {};
  struct stat named {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && ::stat(temp.c_str(), &named) == 0 &&
      opened.st_ino == named.st_ino && opened.st_dev == named.st_dev) {
    return fd;
  }
  ::close(fd);
  errno = EEXIST;  // lost the name to a sweep: try another
  return -1;
}

// renameat2 refuses an existing target atomically; file systems without
// RENAME_NOREPLACE get link + unlink, which refuses it just as atomically.
int rename_no_replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

int rename_to_target(const std::filesystem::path& from, const std::filesystem::path& to, PublishMode mode) {
  if (mode == PublishMode::NoReplace) return rename_no_replace(from, to);
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::optional<PendingFile> PendingFile::create(std::filesystem::path target, PublishMode mode, FileError& error) {
  int code = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && code == EEXIST; ++attempt) {
    std::filesystem::path temp = target.parent_path() / temporary_name();
    const int fd = create_locked(temp);
    if (fd >= 0) {
      register_temporary(temp.c_str());
      return PendingFile(std::move(temp), std::move(target), mode, fd);
    }
    code = errno;
  }
  error = errno_error(target, "cannot create a file in the folder", code);
  return std::nullopt;
}

PendingFile::PendingFile(std::filesystem::path temp, std::filesystem::path target, PublishMode mode, int fd)
    : temp_(std::move(temp)), target_(std::move(target)), mode_(mode), fd_(fd) {}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : temp_(std::exchange(other.temp_, {})),
      target_(std::move(other.target_)),
      mode_(other.mode_),
      fd_(std::exchange(other.fd_, -1)),
      failed_(other.failed_),
      error_(std::move(other.error_)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
  if (this != &other) {
    discard();
    temp_ = std::exchange(other.temp_, {});
    target_ = std::move(other.target_);
    mode_ = other.mode_;
    fd_ = std::exchange(other.fd_, -1);
    failed_ = other.failed_;
    error_ = std::move(other.error_);
  }
  return *this;
}

PendingFile::~PendingFile() {
  discard();
}

bool PendingFile::write(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail("cannot write", n < 0 ? errno : EIO);
    } else {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  return !failed_;
}

bool PendingFile::publish(FileError& error, FolderSyncs* batch) {
  return publish_together(std::span(this, 1), error, batch) == 1;
}

// A hint only: a failed start shows again in the flush that follows.
void PendingFile::start_write_back() noexcept {
  if (!failed_ && fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool PendingFile::flush() {
  if (fd_ < 0 && !failed_) fail("nothing to publish", EBADF);
  if (!failed_ && ::fsync(fd_) != 0) fail("cannot flush to disk", errno);
  return !failed_;
}

bool PendingFile::put_in_place() {
  const int code = rename_to_target(temp_, target_, mode_);
  if (code != 0) {
    fail(code == EEXIST ? "the file exists already" : "cannot put the file in place", code);
    return false;
  }
  unregister_temporary(temp_.c_str());
  ::close(std::exchange(fd_, -1));  // the lock goes with it, after the name is gone
  temp_.clear();
  return true;
}

void PendingFile::fail(const char* what, int code) {
  if (!failed_) error_ = errno_error(target_, what, code);
  failed_ = true;
}

void PendingFile::discard() noexcept {
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    unregister_temporary(temp_.c_str());
    temp_.clear();
  }
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

std::size_t publish_together(std::span<PendingFile> files, FileError& error, FolderSyncs* batch) {
  const bool written = std::none_of(files.begin(), files.end(), [](const PendingFile& file) { return file.failed_; });
  // One file has nothing to wait for together with.
  if (written && files.size() > 1) {
    for (PendingFile& file : files)
      file.start_write_back();
  }
  const bool flushed =
      written && std::all_of(files.begin(), files.end(), [](PendingFile& file) { return file.flush(); });
  std::size_t published = 0;
  while (flushed && published < files.size() && files[published].put_in_place())
    ++published;
  FolderSyncs own_syncs;  // makes the renames themselves durable; best effort
  for (const PendingFile& file : files.first(published))
    (batch != nullptr ? *batch : own_syncs).add(file.target_.parent_path());
  own_syncs.sync();
  bool reported = false;
  for (PendingFile& file : files.subspan(published)) {
    if (file.failed_ && !reported) error = file.error_;
    reported = reported || file.failed_;
    file.discard();
  }
  return published;
}

bool publish_file(const std::filesystem::path& target, std::string_view bytes, PublishMode mode, FileError* error,
                  FolderSyncs* batch) {
  FileError failure;
  std::optional<PendingFile> file = PendingFile::create(target, mode, failure);
  const bool published = file && file->write(bytes) && file->publish(failure, batch);
  if (!published && file) file->publish(failure);
  if (!published && error != nullptr) *error = failure;
  return published;
}

}  // namespace vek::base
