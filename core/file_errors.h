#pragma once
// Telling a missing file from a file-system query that failed.

#include <system_error>

namespace varnel {

// True when a query's error means only that nothing is at the path: no such file or directory,
// a path through a file, a name too long or not a valid path.
inline bool isMissingPathError(const std::error_code& ec) {
    return ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory ||
           ec == std::errc::filename_too_long || ec == std::errc::invalid_argument;
}

}  // namespace varnel
