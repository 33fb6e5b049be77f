#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
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

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

// An unnamed file in the folder (O_TMPFILE) vanishes with the process, so a
// crash or an abandoned extraction leaves nothing behind; it gets a name only
// in commit(). Filesystems without it get a named temporary file.
bool AtomicFile::open()
{
    const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kFileMode);
    if (fd_ >= 0)
        return true;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        fail("cannot create a file in the folder", errno);
        return false;
    }
    return open_named();
}

bool AtomicFile::open_named()
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
    if (!failed_ && temporary_.empty())
        name_unnamed_file();
    if (fd_ >= 0 && ::close(fd_) != 0 && !failed_)
        fail("cannot close", errno);
    fd_ = -1;
    if (!failed_ && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        fail("cannot replace", errno);
    if (failed_) {
        discard();
        return false;
    }
    temporary_.clear();
    sync_folder(target_.parent_path());
    return true;
}

void AtomicFile::name_unnamed_file()
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    int code = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && code == EEXIST; ++attempt) {
        temporary_ = target_.parent_path() / temporary_name(target_);
        code = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
    }
    if (code != 0) {
        temporary_.clear();
        fail("cannot name the new file", code);
    }
}

void AtomicFile::fail(const char* what, int code)
{
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
