#pragma once
// Saving a whole file so that it is either written completely or not at all: the bytes go to
// a temporary file beside the target, are flushed to the disk, and only then replace the
// target. A failed save leaves the target as it was.

#include <string>
#include <string_view>

namespace veka {

// True on success. On failure the target is untouched, no temporary file is left behind and
// *error (when given) holds a German text naming the file and the reason.
bool saveFileSafely(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace veka
