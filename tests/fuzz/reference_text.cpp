// The character-by-character references of reference_text.h.
#include "tests/fuzz/reference_text.h"

namespace lumeno::fuzz::reference {
namespace {

bool IsLead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Does `what` match the text at offset p? ASCII letters that are characters of their own
// compare without regard to case when ignoreCase; the bytes of double-byte characters always
// compare exactly.
bool MatchesAt(const std::string& text, std::size_t p, const std::string& what, bool ignoreCase) {
    if (p + what.size() > text.size()) return false;
    for (std::size_t i = 0; i < what.size(); ++i) {
        if (IsLead(what[i])) {
            if (text[p + i] != what[i]) return false;
            if (i + 1 < what.size()) {
                ++i;
                if (text[p + i] != what[i]) return false;
            }
            continue;
        }
        const char a = ignoreCase ? Lower(text[p + i]) : text[p + i];
        const char b = ignoreCase ? Lower(what[i]) : what[i];
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::vector<bool> CharacterStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    std::size_t i = 0;
    while (i < text.size()) {
        starts[i] = true;
        i += IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

int FindText(const std::string& text, const std::string& what, int start, bool ignoreCase) {
    const long from = start < 1 ? 0 : static_cast<long>(start) - 1;
    if (from >= static_cast<long>(text.size())) return -1;
    if (what.empty()) return 1;
    const std::vector<bool> starts = CharacterStarts(text);
    for (std::size_t p = static_cast<std::size_t>(from); p < text.size(); ++p) {
        if (starts[p] && MatchesAt(text, p, what, ignoreCase)) return static_cast<int>(p) + 1;
    }
    return -1;
}

int FindTextLast(const std::string& text, const std::string& what, int start, bool ignoreCase) {
    if (start <= 1) return -1;
    const std::size_t region =
        std::min(text.size(), static_cast<std::size_t>(static_cast<unsigned>(start) - 1));
    if (region == 0) return -1;
    if (what.empty()) return 1;
    const std::vector<bool> starts = CharacterStarts(text);
    int last = -1;
    for (std::size_t p = 0; p + what.size() <= region; ++p) {
        if (starts[p] && MatchesAt(text, p, what, ignoreCase)) last = static_cast<int>(p) + 1;
    }
    return last;
}

std::string MidText(const std::string& text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return {};
    return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

std::string ReplaceText(const std::string& text, const std::string& find,
                        const std::string& replacement, int start, int count, bool caseSensitive) {
    const long from = start < 1 ? 0 : static_cast<long>(start) - 1;
    if (text.empty() || find.empty() || from >= static_cast<long>(text.size()) || count == 0) {
        return text;
    }
    const std::vector<bool> starts = CharacterStarts(text);
    std::string out = text.substr(0, static_cast<std::size_t>(from));
    int done = 0;
    std::size_t i = static_cast<std::size_t>(from);
    while (i < text.size()) {
        if ((count < 0 || done < count) && starts[i] && MatchesAt(text, i, find, !caseSensitive)) {
            out += replacement;
            i += find.size();
            ++done;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::vector<std::string> SplitText(const std::string& text, const std::string& delimiter,
                                   int maxParts) {
    std::vector<std::string> parts;
    const std::size_t limit = maxParts < 0 ? text.size() + 2 : static_cast<std::size_t>(maxParts);
    if (text.empty() || limit == 0) return parts;
    if (delimiter.empty()) return {text};
    const std::vector<bool> starts = CharacterStarts(text);
    std::string piece;
    std::size_t i = 0;
    while (i < text.size()) {
        if (starts[i] && MatchesAt(text, i, delimiter, false)) {
            parts.push_back(piece);
            if (parts.size() == limit) return parts;
            piece.clear();
            i += delimiter.size();
        } else {
            piece += text[i++];
        }
    }
    if (!piece.empty()) parts.push_back(piece);
    return parts;
}

std::string TrimSpaces(const std::string& text) {
    std::vector<std::string> characters;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t width = IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
        characters.push_back(text.substr(i, width));
        i += width;
    }
    auto isSpace = [](const std::string& c) { return c == " " || c == "\xA1\xA1"; };
    std::size_t first = 0, end = characters.size();
    while (first < end && isSpace(characters[first])) ++first;
    while (end > first && isSpace(characters[end - 1])) --end;
    std::string out;
    for (std::size_t k = first; k < end; ++k) out += characters[k];
    return out;
}

std::string UpperText(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsLead(text[i]) && i + 1 < text.size()) {
            out += text.substr(i, 2);
            i += 2;
            continue;
        }
        const char c = text[i++];
        out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

std::string TextBetween(const std::string& text, const std::string& left, const std::string& right,
                        int start, bool ignoreCase) {
    const std::string quote = "#\xD2\xFD\xBA\xC5";  // the quote placeholder in GBK
    const std::string l = ReplaceText(left, quote, "\"", 1, -1, true);
    const std::string r = ReplaceText(right, quote, "\"", 1, -1, true);
    const int at = FindText(text, l, start, ignoreCase);
    if (at == -1) return {};
    const int d = at + static_cast<int>(l.size());
    const int end = FindText(text, r, d, ignoreCase);
    if (end == -1) return {};
    return MidText(text, d, end - d);
}

std::vector<std::string> AllTextsBetween(const std::string& text, const std::string& left,
                                         const std::string& right, bool ignoreCase, int maxLength,
                                         const std::string& prefix, const std::string& suffix,
                                         bool keepLeft, bool keepRight, int start) {
    std::vector<std::string> results;
    int d = start;
    for (;;) {
        const int l = FindText(text, left, d, ignoreCase);
        if (l == -1) break;
        d = l + static_cast<int>(left.size());
        const int r = FindText(text, right, d, ignoreCase);
        if (r == -1) break;
        std::string piece = prefix + MidText(text, d, r - d) + suffix;
        if (keepLeft) piece = left + piece;
        if (keepRight) piece += right;
        if (maxLength == 0 || static_cast<long>(piece.size()) < maxLength) results.push_back(piece);
        // An empty left marker is found at the start every time: the collection ends after
        // its one piece instead of never ending.
        if (left.empty()) break;
    }
    return results;
}

std::string DropRight(const std::string& text, int n) {
    if (n <= 0) return text;
    if (static_cast<std::size_t>(n) >= text.size()) return {};
    return text.substr(0, text.size() - static_cast<std::size_t>(n));
}

}  // namespace lumeno::fuzz::reference
