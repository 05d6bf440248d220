// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file named by someone who may use only the working folder (a remote client): the name is
// resolved beneath that folder by the kernel (openat2 with RESOLVE_BENEATH), symbolic links
// included, and the folder that holds the file is kept open. path() reaches the file through
// that open folder, so a link swapped in afterwards cannot lead the saving or loading code
// outside. A symbolic link that names nothing is refused: saving through it would create its
// target wherever it points.

#include <optional>
#include <string>

namespace veka {

class ConfinedFile {
  public:
    // The file `name` (relative) inside the working folder, existing or not; its folder must
    // exist. Nothing, with an errno value in `error`, otherwise: EXDEV for a name or a link
    // that leads outside (absolute names included), ENOENT for a missing folder, ELOOP for a
    // link to nothing, EINVAL for "" or the working folder itself (".").
    static std::optional<ConfinedFile> resolve(const std::string& name, int& error);

    ConfinedFile(ConfinedFile&& other) noexcept;
    ConfinedFile& operator=(ConfinedFile&&) = delete;
    ~ConfinedFile();

    // "/proc/self/fd/N/NAME": the file through its open folder, for the file functions.
    const std::string& path() const { return path_; }

  private:
    ConfinedFile(int folder, const std::string& name);

    int folder_;
    std::string path_;
};

}  // namespace veka
