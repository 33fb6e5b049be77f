#pragma once
// Writes a file whole or not at all: the text goes to a temporary file in the
// target's folder, is flushed to disk, and is renamed over the target. A crash
// or a full disk leaves the previous file (or none), never a partial one.

#include "../TextOut.h"
#include "IoError.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vek::track::io {

// `replace`: the target is replaced. `keep_existing`: commit fails with
// error_code() EEXIST when the target exists, and the target stays as it was.
enum class Publish { replace, keep_existing };

class AtomicFile : public TextSink {
public:
    explicit AtomicFile(std::filesystem::path target, Publish mode = Publish::replace);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override; // removes the temporary file unless committed

    // Creates the temporary file; false (and error()) when that fails.
    bool open();
    void write(std::string_view text) override;
    // Flushes, closes and renames; false when any step (or an earlier write) failed.
    bool commit();

    const IoError& error() const noexcept { return error_; }
    int error_code() const noexcept { return code_; }

private:
    bool publish() const noexcept;
    void fail(const char* what, int code);
    void discard() noexcept;

    std::filesystem::path target_;
    Publish mode_;
    int code_ = 0;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool failed_ = false;
    IoError error_;
};

bool write_file_atomically(const std::filesystem::path& path, std::string_view text, IoError* error = nullptr);

} // namespace vek::track::io
