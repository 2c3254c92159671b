#pragma once
// Output folders: why a path given as one cannot be one, in words (the
// system's own error for a file or a link to nothing in its place, "File
// exists", names neither), and making one.
#include <string>

#include "files/saveerrors.h"

namespace kt {

// "" when `path` is a folder or nothing is there yet; otherwise what is
// there, e.g. "not a folder".
std::string whynotafolder(const std::string& path);

// Why an output could not be written: a save-error code, the file it
// concerns and its errno (0 if none), and the reason when neither the code
// nor errno says it ("" otherwise).
struct OutputFailure {
    int code = savedone;
    std::string file;
    int err = 0;
    std::string why;
    bool failed() const { return code != savedone; }
};

// Makes `folder` if it is not there and tries `first`, a file in it.
OutputFailure makefolder(const std::string& folder, const std::string& first);

} // namespace kt
