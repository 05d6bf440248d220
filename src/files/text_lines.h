#pragma once
// The line conventions of the program's text files, over bytes in memory: a line ends at CR,
// and one LF right after that CR belongs to the line end; a lone LF is an ordinary character;
// byte 26 (Ctrl-Z) ends the file; reading past the end gives empty lines. Every written line
// ends with CR LF.

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

// The whole content of a regular file; nothing when it cannot be opened or is no regular
// file (directories, devices and pipes are refused).
std::optional<std::string> readFileBytes(const std::string& path);

}  // namespace veka
