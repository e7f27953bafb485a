// RegexObject over the "VBScript.RegExp" automation class.
#include "util/regex_object.h"

#include "platform/codepage/codepage.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

constexpr const char* kEngineClass = "VBScript.RegExp";

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
      subjectText_(std::move(other.subjectText_)),
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
    AssignVariant(subject_, subject);
    subjectText_ = subject;
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
    if (wantPosition && position != nullptr) *position = BytePosition(match, {}, 0);
    return text;
}

Text RegexObject::SubmatchText(int matchIndex, int submatchIndex, int* position,
                               bool wantPosition) const {
    AutomationObject match = GetPropertyObject(matches_, "Item", {matchIndex - 1});
    AutomationObject submatches = GetPropertyObject(match, "SubMatches");
    AutomationVariant value = GetPropertyVariant(submatches, "Item", {submatchIndex - 1});
    Text text = VariantToText(value);
    if (wantPosition && position != nullptr)
        *position = text.empty() ? -1 : BytePosition(match, text, 1);
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
    copy.subjectText_ = subjectText_;
    return copy;
}

void RegexObject::Destroy() {
    ReleaseObject(engine_);
    ReleaseObject(matches_);
    ClearVariant(subject_);
    subjectText_.clear();
    if (!initialized_) return;
    initialized_ = false;
    // The initialisation is counted per thread: only the making thread can balance it.
    if (std::this_thread::get_id() == owner_) UninitializeObjectThread();
}

int RegexObject::BytePosition(const AutomationObject& match, const Text& found, int from) const {
    if (IsEmptyObject(match)) return -1;
    int firstIndex = static_cast<int>(GetPropertyNumber(match, "FirstIndex"));
    const std::u16string* wide = subject_.Value().Bstr();
    if (wide == nullptr || firstIndex < 0 || static_cast<std::size_t>(firstIndex) > wide->size())
        return -1;
    // The byte length of the subject before the match, as the engine's characters map back.
    int matchOffset = static_cast<int>(platform::Utf16ToGbk(wide->substr(0, firstIndex)).size());
    if (from == 0) return matchOffset;
    // A group carries no index of its own: find its text from the start of its match.
    int found1 = FindText(subjectText_, found, matchOffset + 1, false);
    return found1 < 0 ? -1 : found1 - 1;
}

}  // namespace lumeno
