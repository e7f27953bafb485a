// RegexObject over the "VBScript.RegExp" automation class.
#include "util/regex_object.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/codepage/codepage.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

constexpr const char* kEngineClass = "VBScript.RegExp";

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

enum class Paren { kGroup, kOther, kClose };

// One pass over the pattern as the engine reads it (UTF-16 units): escapes, character classes
// ("[]" matches nothing, "[^]" anything, a "]" right after "[" or "[^" closes the class) and
// parentheses. Calls onParen(position, kind) for every "(" and ")" outside classes and escapes,
// kGroup for a capturing "(", and onEscape(position, end) for every escape outside a class,
// end being one past its last unit.
template <class OnParen, class OnEscape>
void ScanPattern(const std::u16string& pattern, OnParen onParen, OnEscape onEscape) {
    bool inClass = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'\\') {
            std::size_t end = std::min(i + 2, pattern.size());
            if (!inClass && end == i + 2 && IsDigit(pattern[i + 1])) {
                while (end < pattern.size() && IsDigit(pattern[end])) ++end;
            }
            if (!inClass) onEscape(i, end);
            i = end - 1;
        } else if (inClass) {
            if (c == u']') inClass = false;
        } else if (c == u'[') {
            if (pattern.compare(i, 2, u"[]") == 0) {
                ++i;
            } else if (pattern.compare(i, 3, u"[^]") == 0) {
                i += 2;
            } else {
                inClass = true;
                if (i + 1 < pattern.size() && pattern[i + 1] == u'^') ++i;
            }
        } else if (c == u'(') {
            const bool capturing = i + 1 >= pattern.size() || pattern[i + 1] != u'?';
            onParen(i, capturing ? Paren::kGroup : Paren::kOther);
        } else if (c == u')') {
            onParen(i, Paren::kClose);
        }
    }
}

// The pattern with a look-ahead capture "(?=([\s\S]*))" as the first item of group `group`,
// whose own items go into "(?:...)" behind it so that every alternative follows the capture.
// It matches nothing and changes no match, and the length of what it captures (the rest of
// the subject) tells where the group's last repetition starts. The new capture comes right
// after the group's "(", taking number group + 1, so back-references to later groups are
// renumbered, and escapes that the engine read as octal codes or plain digits are spelled so
// the extra group cannot turn them into back-references. Empty when the pattern has no such
// group or the group is not closed.
std::u16string MarkGroupStart(const std::u16string& pattern, int group) {
    int groups = 0;
    std::size_t open = std::u16string::npos, close = std::u16string::npos;
    int depth = 0, groupDepth = -1;
    ScanPattern(
        pattern,
        [&](std::size_t position, Paren kind) {
            if (kind == Paren::kClose) {
                if (--depth == groupDepth && open != std::u16string::npos &&
                    close == std::u16string::npos)
                    close = position;
                return;
            }
            if (kind == Paren::kGroup && ++groups == group) {
                open = position;
                groupDepth = depth;
            }
            ++depth;
        },
        [](std::size_t, std::size_t) {});
    if (group < 1 || group > groups || close == std::u16string::npos) return {};

    std::u16string marked;
    std::size_t copied = 0;
    auto copyUpTo = [&](std::size_t position) {
        marked.append(pattern, copied, position - copied);
        copied = position;
    };
    auto onParen = [&](std::size_t position, Paren) {
        if (position == open) {
            copyUpTo(position + 1);
            marked += u"(?=([\\s\\S]*))(?:";
        } else if (position == close) {
            copyUpTo(position);
            marked += u')';
        }
    };
    auto onEscape = [&](std::size_t position, std::size_t end) {
        if (end < position + 2 || !IsDigit(pattern[position + 1])) return;
        const std::u16string digits = pattern.substr(position + 1, end - position - 1);
        long value = 0;
        for (char16_t d : digits) value = value < 100000 ? value * 10 + (d - u'0') : value;
        copyUpTo(position);
        std::string spelled;
        if (digits[0] != u'0' && value <= groups) {
            // In its own "(?:...)": a digit spelled right after it must not join the number.
            spelled = "(?:\\" + std::to_string(value > group ? value + 1 : value) + ")";
        } else if (digits[0] <= u'7') {
            // An octal code of up to three digits (at most 0377), then literal digits.
            unsigned code = 0;
            std::size_t used = 0;
            while (used < digits.size() && used < 3 && digits[used] <= u'7' &&
                   code * 8 + static_cast<unsigned>(digits[used] - u'0') <= 0377) {
                code = code * 8 + static_cast<unsigned>(digits[used] - u'0');
                ++used;
            }
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            spelled = hex;
            for (std::size_t k = used; k < digits.size(); ++k)
                spelled += static_cast<char>(digits[k]);
        } else {
            for (char16_t d : digits) spelled += static_cast<char>(d);  // "\8", "\9": the digit
        }
        marked.append(spelled.begin(), spelled.end());
        copied = end;
    };
    ScanPattern(pattern, onParen, onEscape);
    copyUpTo(pattern.size());
    return marked;
}

}  // namespace

RegexObject::RegexObject() : owner_(std::this_thread::get_id()) {
    AssignVariant(subject_, 0);
    InitializeObjectThread();
    initialized_ = true;
}

RegexObject::~RegexObject() {
    Destroy();
}

RegexObject::RegexObject(RegexObject&& other) noexcept
    : engine_(std::move(other.engine_)),
      matches_(std::move(other.matches_)),
      subject_(std::move(other.subject_)),
      ignoreCase_(other.ignoreCase_),
      multiline_(other.multiline_),
      global_(other.global_),
      owner_(other.owner_),
      initialized_(other.initialized_) {
    // The initialisation now belongs to this object; the moved-from one must not undo it.
    other.initialized_ = false;
    ReleaseObject(other.engine_);
    ReleaseObject(other.matches_);
}

bool RegexObject::Create(const Text& pattern, const Text& subject, bool caseSensitive,
                         bool multiline, bool global, bool expandQuotes) {
    if (!initialized_ && std::this_thread::get_id() == owner_) {
        // Used again after Destroy: initialise once more, balanced by the next Destroy.
        InitializeObjectThread();
        initialized_ = true;
    }
    ReleaseObject(engine_);
    ReleaseObject(matches_);
    CreateObject(engine_, kEngineClass);
    PutProperty(engine_, "IgnoreCase", !caseSensitive);
    PutProperty(engine_, "Multiline", multiline);
    // The engine has no such property; the write fails and "." keeps not matching a line feed.
    PutProperty(engine_, "Singleline", true);
    PutProperty(engine_, "Global", global);
    Text effective =
        expandQuotes ? ReplaceText(pattern, "#引号", "\"", 1, kAllOccurrences, true) : pattern;
    PutProperty(engine_, "Pattern", effective);
    ignoreCase_ = !caseSensitive;
    multiline_ = multiline;
    global_ = global;
    AssignVariant(subject_, subject);
    AutomationObject matches = CallMethodObject(engine_, "Execute", {subject_});
    ReleaseObject(matches_);
    matches_ = std::move(matches);
    return !IsEmptyObject(matches_);
}

Text RegexObject::GetPattern() const {
    if (IsEmptyObject(engine_)) return {};
    return GetPropertyText(engine_, "Pattern");
}

Text RegexObject::Replace(const Text& replacement) const {
    return CallMethodText(engine_, "Replace", {subject_, replacement});
}

int RegexObject::MatchCount() const {
    if (IsEmptyObject(matches_)) return 0;
    return static_cast<int>(GetPropertyNumber(matches_, "Count"));
}

Text RegexObject::MatchText(int matchIndex, int* position, bool wantPosition) const {
    AutomationObject match = GetPropertyObject(matches_, "Item", {matchIndex - 1});
    AutomationVariant value = GetPropertyVariant(match, "Value");
    Text text = VariantToText(value);
    if (wantPosition && position != nullptr) *position = MatchPosition(match);
    return text;
}

Text RegexObject::SubmatchText(int matchIndex, int submatchIndex, int* position,
                               bool wantPosition) const {
    AutomationObject match = GetPropertyObject(matches_, "Item", {matchIndex - 1});
    AutomationObject submatches = GetPropertyObject(match, "SubMatches");
    AutomationVariant value = GetPropertyVariant(submatches, "Item", {submatchIndex - 1});
    Text text = VariantToText(value);
    if (wantPosition && position != nullptr) {
        *position = value.Value().IsEmpty() ? -1 : GroupPosition(matchIndex, submatchIndex);
    }
    return text;
}

int RegexObject::SubmatchCount() const {
    AutomationObject match = GetPropertyObject(matches_, "Item", {0});
    AutomationObject submatches = GetPropertyObject(match, "SubMatches");
    if (IsEmptyObject(submatches)) return 0;
    return static_cast<int>(GetPropertyNumber(submatches, "Count"));
}

RegexObject RegexObject::Copy() const {
    RegexObject copy;  // initialises the object runtime for the copy's own life
    CopyObject(copy.engine_, engine_);
    CopyObject(copy.matches_, matches_);
    CopyVariant(copy.subject_, subject_);
    copy.ignoreCase_ = ignoreCase_;
    copy.multiline_ = multiline_;
    copy.global_ = global_;
    return copy;
}

void RegexObject::Destroy() {
    ReleaseObject(engine_);
    ReleaseObject(matches_);
    ClearVariant(subject_);
    if (!initialized_) return;
    initialized_ = false;
    // The initialisation is counted per thread: only the making thread can balance it.
    if (std::this_thread::get_id() == owner_) UninitializeObjectThread();
}

int RegexObject::ByteOffset(std::size_t characters) const {
    const std::u16string* wide = subject_.Value().Bstr();
    if (wide == nullptr || characters > wide->size()) return -1;
    // The byte length of the subject before that point, as the engine's characters map back.
    return static_cast<int>(platform::Utf16ToGbk(wide->substr(0, characters)).size());
}

int RegexObject::MatchPosition(const AutomationObject& match) const {
    if (IsEmptyObject(match)) return -1;
    const double firstIndex = GetPropertyNumber(match, "FirstIndex");
    return firstIndex < 0 ? -1 : ByteOffset(static_cast<std::size_t>(firstIndex));
}

int RegexObject::GroupPosition(int matchIndex, int submatchIndex) const {
    // The engine gives a group's text but not where it starts, and the same text may stand
    // earlier in the match ("a(a)" over "aa"). A second run with a look-ahead capture at the
    // start of the group yields the rest of the subject from where the group's last repetition
    // starts, the one whose text the group holds. The pattern is
    // taken exactly as the engine holds it, in its own characters.
    const AutomationVariant pattern = GetPropertyVariant(engine_, "Pattern");
    const std::u16string* patternText = pattern.Value().Bstr();
    const std::u16string* wide = subject_.Value().Bstr();
    if (patternText == nullptr || wide == nullptr) return -1;
    std::u16string marked = MarkGroupStart(*patternText, submatchIndex);
    if (marked.empty()) return -1;
    AutomationObject engine;
    if (!CreateObject(engine, kEngineClass)) return -1;
    PutProperty(engine, "IgnoreCase", ignoreCase_);
    PutProperty(engine, "Multiline", multiline_);
    PutProperty(engine, "Global", global_);
    PutProperty(engine, "Pattern",
                AutomationVariant(platform::Variant::FromBstr(std::move(marked))));
    AutomationObject matches = CallMethodObject(engine, "Execute", {subject_});
    AutomationObject match = GetPropertyObject(matches, "Item", {matchIndex - 1});
    AutomationObject submatches = GetPropertyObject(match, "SubMatches");
    // The capture sits right after the group's own "(": its number is the group's plus one.
    AutomationVariant rest = GetPropertyVariant(submatches, "Item", {submatchIndex});
    const std::u16string* restText = rest.Value().Bstr();
    int position = -1;
    if (restText != nullptr && restText->size() <= wide->size())
        position = ByteOffset(wide->size() - restText->size());
    ReleaseObject(submatches);
    ReleaseObject(match);
    ReleaseObject(matches);
    ReleaseObject(engine);
    return position;
}

}  // namespace lumeno
