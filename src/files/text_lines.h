// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line conventions of the program's text files, over bytes in memory: a line ends at CR,
// and one LF right after that CR belongs to the line end; a lone LF is an ordinary character;
// byte 26 (Ctrl-Z) ends the file; reading past the end gives empty lines. Every written line
// ends with CR LF.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veka {

class LineReader {
  public:
    // Keeps a view: the bytes must outlive the reader.
    explicit LineReader(std::string_view bytes);
    explicit LineReader(std::string&&) = delete;

    // The next line without its end (raw bytes); empty once the end is reached.
    std::string_view next();

    // No more lines: the position is at the end of the file (or at its Ctrl-Z).
    bool atEnd() const { return pos_ >= bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

class LineWriter {
  public:
    // Appends the bytes and CR LF.
    void line(std::string_view bytes);

    const std::string& bytes() const { return out_; }
    std::string take() { return std::move(out_); }

  private:
    std::string out_;
};

// What became of reading a file.
enum class ReadStatus { Ok, Unreadable, TooLarge };

// A bound for files of no particular kind.
inline constexpr size_t MaxFileBytes = size_t{16} << 20;

// The whole content of a regular file of at most maxBytes bytes; nothing when it cannot be
// opened, is no regular file (directories, devices and pipes are refused without being
// opened, so nothing blocks) or is larger. Memory stays within the bound whatever the file
// claims. *status (when given) says why nothing came back.
std::optional<std::string> readFileBytes(const std::string& path, size_t maxBytes = MaxFileBytes,
                                         ReadStatus* status = nullptr);

// "Die Datei "path" ist zu groß ..." for a file over its bound.
std::string tooLargeMessage(const std::string& path, size_t maxBytes);

}  // namespace veka
