// Pattern translation, one pass over the pattern with a small state for character classes.
#include "platform/com/regexp_pattern.h"

namespace lumeno::platform {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsClassEscape(char16_t c) {
    return c == u'd' || c == u'D' || c == u'w' || c == u'W' || c == u's' || c == u'S';
}

// Capturing groups in the pattern: "(" not escaped, not in a class and not followed by "?".
int CountGroups(const std::u16string& p) {
    int count = 0;
    bool inClass = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        if (c == u'\\') {
            ++i;
        } else if (inClass) {
            if (c == u']') inClass = false;
        } else if (c == u'[') {
            inClass = true;
        } else if (c == u'(' && (i + 1 >= p.size() || p[i + 1] != u'?')) {
            ++count;
        }
    }
    return count;
}

// A code unit as \uhhhh (the only long hex form PCRE2 reads under ALT_BSUX).
void AppendHex(std::u16string& out, unsigned value) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

// Translates the escape at p[i] == '\\'; returns the index of the escape's last unit.
// `inClass` selects the meaning of \b (backspace inside a class).
std::size_t TranslateEscape(const std::u16string& p, std::size_t i, bool inClass, int groups,
                            std::u16string& out) {
    char16_t c = p[i + 1];
    switch (c) {
        // Escapes both dialects read alike.
        case u'd':
        case u'D':
        case u'w':
        case u'W':
        case u's':
        case u'S':
        case u'f':
        case u'n':
        case u'r':
        case u't':
        case u'x':
        case u'u':
        case u'c':
            out += u'\\';
            out += c;
            return i + 1;
        case u'b':
        case u'B':
            if (inClass && c == u'b') {
                AppendHex(out, 0x8);
            } else {
                out += u'\\';
                out += c;
            }
            return i + 1;
        case u'v':  // a vertical tab here, a class of vertical spaces in PCRE2
            AppendHex(out, 0xB);
            return i + 1;
        default:
            break;
    }
    if (IsDigit(c)) {
        std::size_t end = i + 1;
        while (end < p.size() && IsDigit(p[end])) ++end;
        std::u16string digits = p.substr(i + 1, end - i - 1);
        long value = 0;
        for (char16_t d : digits) value = value < 100000 ? value * 10 + (d - u'0') : value;
        if (!inClass && c != u'0' && value <= groups) {
            // \g{N}: PCRE2 would read "\10" before the tenth group's "(" as an octal code, but
            // the dialect counts every group of the pattern.
            out += u"(?:\\g{" + digits + u"})";
            return end - 1;
        }
        // Not a back-reference: an octal escape of up to three digits, as the dialect reads it.
        if (c >= u'0' && c <= u'7') {
            unsigned octal = 0;
            std::size_t j = i + 1;
            while (j < p.size() && j < i + 4 && p[j] >= u'0' && p[j] <= u'7' &&
                   octal * 8 + (p[j] - u'0') <= 0377) {
                octal = octal * 8 + (p[j] - u'0');
                ++j;
            }
            AppendHex(out, octal);
            return j - 1;
        }
        out += c;  // \8 and \9 stand for the digit
        return i + 1;
    }
    if (IsAsciiLetter(c)) {
        out += c;  // an escape the dialect does not know is the letter itself
        return i + 1;
    }
    // Any other escaped character is itself; keep it escaped so it stays literal in PCRE2.
    AppendHex(out, c);
    return i + 1;
}

}  // namespace

std::optional<std::u16string> TranslatePattern(const std::u16string& p, bool multiline) {
    const int groups = CountGroups(p);
    std::u16string out;
    out.reserve(p.size() * 2);
    bool inClass = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        if (c == u'\\') {
            if (i + 1 >= p.size()) return std::nullopt;  // a pattern cannot end in a backslash
            i = TranslateEscape(p, i, inClass, groups, out);
            // In a class, "-" after a class escape ([\w-x]) is a plain hyphen in the dialect;
            // PCRE2 would reject it as a range.
            if (inClass && IsClassEscape(p[i]) && p[i - 1] == u'\\' && i + 2 < p.size() &&
                p[i + 1] == u'-' && p[i + 2] != u']') {
                out += u"\\-";
                ++i;
            }
            continue;
        }
        if (inClass) {
            if (c == u']') inClass = false;
            if (c == u'[') {
                out += u"\\[";  // literal here; PCRE2 would read [: as a POSIX class
                continue;
            }
            out += c;
            continue;
        }
        switch (c) {
            case u'[':
                if (p.compare(i, 2, u"[]") == 0) {
                    out += u"(?!)";  // the empty class matches nothing
                    ++i;
                } else if (p.compare(i, 3, u"[^]") == 0) {
                    out += u"[\\s\\S]";
                    i += 2;
                } else {
                    inClass = true;
                    out += c;
                    if (i + 1 < p.size() && p[i + 1] == u'^') out += p[++i];
                    // A leading ] closes the class in the dialect; PCRE2 would take it literally.
                }
                break;
            case u'(':
                if (i + 1 < p.size() && p[i + 1] == u'?') {
                    if (i + 2 >= p.size()) return std::nullopt;
                    char16_t kind = p[i + 2];
                    if (kind != u':' && kind != u'=' && kind != u'!') return std::nullopt;
                }
                out += c;
                break;
            case u'^':
                out += multiline ? u"(?<![^\\n\\r])" : u"^";
                break;
            case u'$':
                out += multiline ? u"(?![^\\n\\r])" : u"$";
                break;
            default:
                out += c;
        }
    }
    if (inClass) return std::nullopt;
    return out;
}

}  // namespace lumeno::platform
