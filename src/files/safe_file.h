// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a whole file so that a failed save does not cost the old content, without changing
// what the target is. The target must be writable for us, checked by opening it for writing:
// a file we could not overwrite is never replaced. A symbolic link is followed to the file it
// names. Usually the bytes go to a temporary file beside the target (".veka-XXXXXX"), are
// flushed to the disk and then take the target's name, with the target's owner and mode.
// When a new file cannot stand in for the old one (further hard links, an owner we cannot
// give it) or the folder admits no new file, the target is rewritten in place from the
// complete new content in memory; its old content is kept in a temporary file beside it (or
// in memory for small files in a read-only folder) and put back when writing fails.

#include <string>
#include <string_view>

namespace veka {

// True on success. On failure *error (when given) holds a German text naming the file and
// the reason; the target keeps its old content (the text says so where that could not be
// ensured) and no temporary file is left behind.
// *reason (when given) gets the bare reason in English for command-line messages: the system's
// text of the error ("Permission denied") or "not a regular file".
bool saveFileSafely(const std::string& path, std::string_view bytes, std::string* error,
                    std::string* reason = nullptr);

// The system's English text of an error number, whatever the locale.
std::string errorText(int err);

// Whether reaching path follows a symbolic link that the kernel's protected_symlinks rule
// forbids whether or not the rule is switched on: a link in a sticky folder that others may
// write, owned neither by us (the effective user) nor by the folder's owner. Every link on the
// way counts, the last component's too. Such a link may have been planted by another user to
// make us write where they choose; a caller that writes should refuse it.
bool followsProtectedSymlink(const std::string& path);

}  // namespace veka
