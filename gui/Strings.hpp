#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace gui {

// Property and renderer names are compared without regard to case, as theme files write them freely.
inline std::string toLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Reads a quoted string with C escapes starting at `pos`; leaves `pos` after the closing quote.
inline bool readQuoted(const std::string& text, std::size_t& pos, std::string& result) {
    result.clear();
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= text.size()) {
                return false;
            }
            switch (text[pos]) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'v':
                    c = '\v';
                    break;
                default:
                    c = text[pos];
            }
        }
        result += c;
    }
    return false;
}

}  // namespace gui
