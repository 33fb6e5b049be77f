#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <stdio.h>
#include <unistd.h>

namespace vek::track::io {
namespace {

constexpr int kNameAttempts = 100;  // a clash of random names is already unlikely
constexpr mode_t kFileMode = 0666;  // the umask decides the final permissions

std::string temporary_name(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    // Built by appending: GCC 12 warns falsely (-Wrestrict, bug 105329) on
    // "." + std::string at -O2; remove the detour with GCC 13.
    std::string name(1, '.');
    name += target.filename().string();
    name += ".tmp-";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    name += '-';
    name += std::to_string(random());
    return name;
}

void sync_folder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // makes the rename itself durable; best effort
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(std::filesystem::path target, Publish mode) : target_(std::move(target)), mode_(mode) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open()
{
    int code = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && fd_ < 0 && code == EEXIST; ++attempt) {
        temporary_ = target_.parent_path() / temporary_name(target_);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
        code = fd_ < 0 ? errno : 0;
    }
    if (fd_ < 0) {
        temporary_.clear();
        fail("cannot create a file in the folder", code);
    }
    return fd_ >= 0;
}

void AtomicFile::write(std::string_view text)
{
    while (!failed_ && !text.empty()) {
        const ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail("cannot write", n < 0 ? errno : EIO);
            return;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool AtomicFile::commit()
{
    if (fd_ < 0)
        failed_ = true;
    if (!failed_ && ::fsync(fd_) != 0)
        fail("cannot flush to disk", errno);
    if (fd_ >= 0 && ::close(fd_) != 0 && !failed_)
        fail("cannot close", errno);
    fd_ = -1;
    if (!failed_ && !publish())
        fail(mode_ == Publish::replace ? "cannot replace" : "cannot publish", errno);
    if (failed_) {
        discard();
        return false;
    }
    temporary_.clear();
    sync_folder(target_.parent_path());
    return true;
}

bool AtomicFile::publish() const noexcept
{
    if (mode_ == Publish::replace)
        return ::rename(temporary_.c_str(), target_.c_str()) == 0;
    return ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0;
}

void AtomicFile::fail(const char* what, int code)
{
    if (!failed_)
        code_ = code;
    if (!failed_)
        error_ = {target_.string() + ": " + what, std::string(what) + ": " + std::strerror(code)};
    failed_ = true;
}

void AtomicFile::discard() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool write_file_atomically(const std::filesystem::path& path, std::string_view text, IoError* error)
{
    AtomicFile file(path);
    const bool ok = file.open() && (file.write(text), file.commit());
    if (!ok && error != nullptr)
        *error = file.error();
    return ok;
}

} // namespace vek::track::io
