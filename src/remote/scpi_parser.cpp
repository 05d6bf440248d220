// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/scpi_parser.h"

#include <algorithm>

#include "remote/error_queue.h"

namespace veka {

namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// Bytes that have no place in a command outside quotes: controls and everything not ASCII.
bool isJunk(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u >= 0x7f;
}

// Walks one command's text; every reader leaves `pos` behind what it took.
class Reader {
  public:
    explicit Reader(std::string_view text) : t_(text) {}

    ScpiParsed parse() {
        ScpiParsed out;
        out.error = command(out.command);
        return out;
    }

  private:
    bool atEnd() const { return pos_ >= t_.size(); }
    char peek() const { return atEnd() ? '\0' : t_[pos_]; }
    void skipBlanks() {
        while (!atEnd() && isBlank(t_[pos_])) ++pos_;
    }
    int unexpected() const {
        return !atEnd() && isJunk(peek()) ? scpi::InvalidCharacter : scpi::SyntaxError;
    }

    std::string mnemonic() {
        const size_t start = pos_;
        if (!isLetter(peek())) return {};
        while (!atEnd() && (isLetter(t_[pos_]) || isDigit(t_[pos_]) || t_[pos_] == '_')) ++pos_;
        return std::string(t_.substr(start, pos_ - start));
    }

    int header(ScpiCommand& c) {
        if (peek() == '*') {
            ++pos_;
            c.common = true;
        } else if (peek() == ':') {
            ++pos_;
            c.absolute = true;
        }
        for (;;) {
            std::string word = mnemonic();
            if (word.empty()) return unexpected();
            c.keywords.push_back(std::move(word));
            if (c.common || peek() != ':') break;
            ++pos_;
        }
        if (peek() == '?') {
            ++pos_;
            c.query = true;
        }
        return scpi::NoError;
    }

    int command(ScpiCommand& c) {
        if (const int e = header(c)) return e;
        if (atEnd()) return scpi::NoError;
        if (!isBlank(peek())) return unexpected();
        skipBlanks();
        while (!atEnd()) {
            ScpiArgument a;
            if (const int e = argument(a)) return e;
            c.arguments.push_back(std::move(a));
            skipBlanks();
            if (atEnd()) break;
            if (peek() != ',') return unexpected();
            ++pos_;
            skipBlanks();
            if (atEnd()) return scpi::SyntaxError;  // a ',' with nothing behind it
        }
        return scpi::NoError;
    }

    int argument(ScpiArgument& a) {
        const char c = peek();
        if (c == '"' || c == '\'') return quoted(a);
        if (isDigit(c) || c == '+' || c == '-' || c == '.') return number(a);
        if (isLetter(c)) {
            a.kind = ScpiArgument::Kind::Word;
            a.text = mnemonic();
            return scpi::NoError;
        }
        return unexpected();
    }

    int quoted(ScpiArgument& a) {
        const char quote = t_[pos_++];
        a.kind = ScpiArgument::Kind::String;
        for (;;) {
            if (atEnd()) return scpi::InvalidStringData;
            const char c = t_[pos_++];
            if (c == quote) {
                if (peek() != quote) return scpi::NoError;
                ++pos_;  // a doubled quote stands for itself
            } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                return scpi::InvalidStringData;
            }
            a.text += c;
        }
    }

    // [+-] digits [. digits] (or . digits), an exponent [eE][+-]digits, then the unit: letters
    // right after the number or after blanks ("10.7MHZ", "9500 kHz").
    int number(ScpiArgument& a) {
        a.kind = ScpiArgument::Kind::Number;
        const bool negative = peek() == '-';
        if (peek() == '+' || peek() == '-') ++pos_;
        bool digits = false;
        int significant = 0;
        int64_t mantissa = 0;
        int64_t exponent = 0;
        const auto digit = [&](bool fraction) {
            const int d = peek() - '0';
            if (significant < 18) {
                if (mantissa != 0 || d != 0) ++significant;
                mantissa = mantissa * 10 + d;
                if (fraction) --exponent;
            } else if (!fraction) {
                ++exponent;  // a digit too many to keep still counts as a place
            }
            ++pos_;
            digits = true;
        };
        while (isDigit(peek())) digit(false);
        if (peek() == '.') {
            ++pos_;
            while (isDigit(peek())) digit(true);
        }
        if (!digits) return scpi::InvalidCharacterInNumber;
        if (exponentFollows()) exponent += exponentPart();
        a.mantissa = negative ? -mantissa : mantissa;
        a.exponent = static_cast<int32_t>(std::clamp<int64_t>(exponent, -100000, 100000));
        const size_t afterNumber = pos_;
        skipBlanks();
        if (isLetter(peek())) {
            while (isLetter(peek())) a.text += t_[pos_++];
        } else {
            pos_ = afterNumber;
        }
        if (!atEnd() && !isBlank(peek()) && peek() != ',') return scpi::InvalidCharacterInNumber;
        return scpi::NoError;
    }

    bool exponentFollows() const {
        const auto at = [&](size_t i) { return i < t_.size() ? t_[i] : '\0'; };
        if (peek() != 'e' && peek() != 'E') return false;
        const char next = at(pos_ + 1);
        return isDigit(next) || ((next == '+' || next == '-') && isDigit(at(pos_ + 2)));
    }

    int64_t exponentPart() {
        ++pos_;  // the 'E'
        const bool negative = peek() == '-';
        if (peek() == '+' || peek() == '-') ++pos_;
        int64_t e = 0;
        while (isDigit(peek())) {
            if (e < 1000000) e = e * 10 + (peek() - '0');
            ++pos_;
        }
        return negative ? -e : e;
    }

    std::string_view t_;
    size_t pos_ = 0;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<int64_t> ScpiArgument::scaled(int scale) const {
    if (mantissa == 0) return 0;
    int64_t e = int64_t{exponent} + scale;
    int64_t m = mantissa;
    for (; e > 0; --e) {
        if (m > INT64_MAX / 10 || m < INT64_MIN / 10) return std::nullopt;
        m *= 10;
    }
    if (e == 0) return m;
    if (e < -18) return 0;  // |m| < 10^18: less than half of the divisor
    int64_t divisor = 1;
    for (; e < 0; ++e) divisor *= 10;
    int64_t q = m / divisor;
    const int64_t r = m % divisor;
    if (2 * (r < 0 ? -r : r) >= divisor) q += m < 0 ? -1 : 1;
    return q;
}

std::vector<ScpiParsed> parseScpiLine(std::string_view line) {
    std::vector<ScpiParsed> out;
    size_t start = 0;
    char quote = '\0';
    for (size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ';';
        if (quote != '\0') {
            if (c == quote) quote = '\0';
            if (i < line.size()) continue;
            out.push_back({scpi::InvalidStringData, {}});  // the line ended inside quotes
            return out;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (c != ';') continue;
        const std::string_view text = trimmed(line.substr(start, i - start));
        start = i + 1;
        if (text.empty()) continue;
        out.push_back(Reader(text).parse());
        if (out.back().error != scpi::NoError) return out;
    }
    return out;
}

bool keywordMatches(std::string_view typed, std::string_view mnemonic) {
    size_t shortLength = 0;
    while (shortLength < mnemonic.size() &&
           !(mnemonic[shortLength] >= 'a' && mnemonic[shortLength] <= 'z'))
        ++shortLength;
    const auto sameAs = [&](size_t n) {
        if (typed.size() != n) return false;
        for (size_t i = 0; i < n; ++i)
            if (upper(typed[i]) != upper(mnemonic[i])) return false;
        return true;
    };
    return sameAs(shortLength) || sameAs(mnemonic.size());
}

}  // namespace veka
