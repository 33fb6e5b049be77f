#pragma once
#include <string>

namespace vek::track::io {

// What went wrong: a sentence for the user and the system's detail for a log.
struct IoError {
    std::string message;
    std::string detail;
};

} // namespace vek::track::io
