// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ini_reader.h"

#include <cstdint>
#include <new>

#include "files/text_codec.h"
#include "files/text_lines.h"

namespace veka {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The longest prefix of at most max characters (code points of the UTF-8 text).
std::string_view firstCharacters(std::string_view text, size_t max) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if ((static_cast<uint8_t>(text[pos]) & 0xC0) == 0x80) continue;  // continuation byte
        if (count == max) return text.substr(0, pos);
        ++count;
    }
    return text;
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

// Splits at CR LF, LF or CR and hands every line to the callback.
template <typename F>
void forEachLine(std::string_view text, F&& f) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

}  // namespace

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<uint8_t>(out[i]);
        if (b >= 'A' && b <= 'Z') {
            out[i] = static_cast<char>(b + 32);
        } else if (b == 0xC3 && i + 1 < out.size()) {
            // U+00C0..U+00DE without U+00D7 (multiplication sign) pair with U+00E0..U+00FE.
            const auto next = static_cast<uint8_t>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                out[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return out;
}

void IniFile::addSection(std::string name) {
    // Only the first section of a name is searched, so later duplicates collect nothing.
    const auto [it, fresh] = index_.try_emplace(foldCase(name), names_.size());
    names_.push_back(std::move(name));
    entries_.emplace_back();
    current_ = fresh ? entries_.size() - 1 : kNoSection;
}

void IniFile::addEntry(std::string_view key, std::string_view value) {
    value = firstCharacters(withoutQuotes(value), MaxIniWertlaenge);
    entries_[current_].try_emplace(foldCase(key), value);  // the first entry of a key counts
}

void IniFile::parseLine(std::string_view line) {
    line = trimmed(line);
    if (line.empty() || line.front() == ';') return;
    const size_t close = line.find(']');
    if (line.front() == '[' && close != std::string_view::npos) {
        addSection(std::string(trimmed(line.substr(1, close - 1))));
        return;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || current_ == kNoSection) return;
    const std::string_view key = trimmed(line.substr(0, eq));
    if (!key.empty()) addEntry(key, trimmed(line.substr(eq + 1)));
}

IniFile IniFile::parse(std::string_view bytes) {
    IniFile ini;
    ini.found_ = true;
    const std::string text = textFileToUtf8(bytes);
    forEachLine(std::string_view(text), [&](std::string_view line) { ini.parseLine(line); });
    return ini;
}

IniFile IniFile::load(const std::string& path) {
    const auto bytes = readFileBytes(path, MaxIniBytes);
    if (!bytes) return {};
    try {
        return parse(*bytes);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::string IniFile::get(std::string_view section, std::string_view key,
                         std::string_view fallback) const {
    const auto s = index_.find(foldCase(trimmed(section)));
    if (s == index_.end()) return std::string(fallback);
    const Entries& entries = entries_[s->second];
    const auto k = entries.find(foldCase(key));
    return k == entries.end() ? std::string(fallback) : k->second;
}

}  // namespace veka
