#pragma once
// Writes a file whole or not at all: the text goes to an unnamed (or, where the
// filesystem cannot, a hidden) temporary file in the target's folder, is
// flushed to disk, and is renamed over the target. A crash or a full disk
// leaves the previous file (or none), never a partial one.

#include "../TextOut.h"
#include "IoError.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vek::track::io {

class AtomicFile : public TextSink {
public:
    explicit AtomicFile(std::filesystem::path target);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override; // removes the temporary file unless committed

    // Creates the temporary file; false (and error()) when that fails.
    bool open();
    void write(std::string_view text) override;
    // Flushes, closes and renames; false when any step (or an earlier write) failed.
    bool commit();

    const IoError& error() const noexcept { return error_; }

private:
    bool open_named();
    void name_unnamed_file();
    void fail(const char* what, int code);
    void discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool failed_ = false;
    IoError error_;
};

bool write_file_atomically(const std::filesystem::path& path, std::string_view text, IoError* error = nullptr);

} // namespace vek::track::io
