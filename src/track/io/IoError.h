#pragma once
#include "base/files/Publisher.h"

namespace vek::track::io {

// What went wrong: a sentence for the user and the system's detail for a log.
using IoError = base::FileError;

}  // namespace vek::track::io
