// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing to the standard streams so that a failure is never silent: a full disk, a closed
// descriptor or a device that refuses the bytes makes the program say so and end with status 1,
// as `veka --version >/dev/full` should.

#include <string_view>

namespace veka {

// Exit status when standard output could not be written.
inline constexpr int kExitStdoutFailed = 1;

// Writes all of text to standard output (after whatever stdio still buffers there). On failure
// writes one line "veka: cannot write to standard output: <reason>" on standard error and
// returns false; the caller then ends with kExitStdoutFailed.
bool writeStdout(std::string_view text);

// Opens /dev/null, read-only, on any of the descriptors 0, 1 and 2 that is closed, so that no
// file or device the program opens later takes a standard stream's number and receives its
// text. Writing to a stream that was closed still fails. Call first thing in main.
void reserveStandardStreams();

}  // namespace veka
