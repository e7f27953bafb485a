// PCRE2 16-bit matching: compile with the translated pattern, JIT when it compiles, fall back to
// the interpreter when the JIT stack runs out. Compiled patterns are kept for the process by the
// pattern as written, so a pattern used on every request is translated, compiled and
// JIT-compiled once.
#include "platform/com/regexp_engine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <map>
#include <mutex>
#include <utility>

#include "platform/com/regexp_pattern.h"
#include "platform/system/per_thread_pointer.h"

namespace lumeno::platform {
namespace {

// Bounds backtracking so a pathological pattern fails instead of hanging the caller.
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;

PCRE2_SPTR Units(const std::u16string& text) {
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

// A compiled pattern. PCRE2 code, JIT code included, is only read while matching, so threads
// share it; what a match writes (match data, JIT stack) stays with each matcher or thread.
struct SharedCode {
    ~SharedCode() { pcre2_code_free(code); }
    pcre2_code* code = nullptr;
    bool jit = false;
};

// The compiled patterns of the process by pattern and options, bounded: a program uses a few
// fixed patterns, and a run that keeps making new ones only starts the table afresh.
class CodeCache {
public:
    std::shared_ptr<const SharedCode> Find(const std::u16string& pattern, std::uint32_t options) {
        std::lock_guard lock(mutex_);
        const auto found = codes_.find({pattern, options});
        return found == codes_.end() ? nullptr : found->second;
    }
    void Keep(const std::u16string& pattern, std::uint32_t options,
              std::shared_ptr<const SharedCode> code) {
        std::lock_guard lock(mutex_);
        if (codes_.size() >= kMaxPatterns) codes_.clear();
        codes_.emplace(std::make_pair(pattern, options), std::move(code));
    }

private:
    static constexpr std::size_t kMaxPatterns = 64;
    std::mutex mutex_;
    std::map<std::pair<std::u16string, std::uint32_t>, std::shared_ptr<const SharedCode>> codes_;
};

CodeCache& Codes() {
    static auto* cache = new CodeCache;  // never destroyed: matchers may outlive static teardown
    return *cache;
}

// The code for `pattern` as the caller wrote it: found by that pattern and the options (which
// say whether it is multiline), so a known pattern is not even translated again.
std::shared_ptr<const SharedCode> CompileShared(const std::u16string& pattern, bool multiline,
                                                std::uint32_t options) {
    if (auto known = Codes().Find(pattern, options)) return known;
    const std::optional<std::u16string> translated = TranslatePattern(pattern, multiline);
    if (!translated) return nullptr;
    int error = 0;
    PCRE2_SIZE offset = 0;
    auto made = std::make_shared<SharedCode>();
    made->code =
        pcre2_compile(Units(*translated), translated->size(), options, &error, &offset, nullptr);
    if (made->code == nullptr) return nullptr;
    made->jit = pcre2_jit_compile(made->code, PCRE2_JIT_COMPLETE) == 0;
    Codes().Keep(pattern, options, made);
    return made;
}

void FreeJitStack(void* stack) {
    pcre2_jit_stack_free(static_cast<pcre2_jit_stack*>(stack));
}

// The JIT stack of the calling thread, made at its first JIT match and freed when the thread
// ends: one match runs at a time on a thread, and PCRE2 asks for the stack at the start of each.
// Null (PCRE2 then matches on a small stack of its own) when none can be made.
pcre2_jit_stack* ThreadJitStack(void*) {
    static auto* key = new PerThreadPointer(FreeJitStack);  // never destroyed, as thread keys
    auto* stack = static_cast<pcre2_jit_stack*>(key->Get());
    if (stack == nullptr) {
        stack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
        if (stack != nullptr && !key->Set(stack)) {
            pcre2_jit_stack_free(stack);
            return nullptr;
        }
    }
    return stack;
}

}  // namespace

struct CompiledRegex::Handles {
    std::shared_ptr<const SharedCode> shared;
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_match_data* data = nullptr;
    bool jit = false;

    ~Handles() {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
    }
};

CompiledRegex::CompiledRegex(std::unique_ptr<Handles> handles, bool global, int groupCount)
    : handles_(std::move(handles)), global_(global), groupCount_(groupCount) {}

CompiledRegex::~CompiledRegex() = default;

std::unique_ptr<CompiledRegex> CompiledRegex::Compile(const std::u16string& pattern,
                                                      RegexFlags flags) {
    std::uint32_t options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
    if (flags.ignoreCase) options |= PCRE2_CASELESS;
    if (!flags.multiline) options |= PCRE2_DOLLAR_ENDONLY;
    auto handles = std::make_unique<Handles>();
    handles->shared = CompileShared(pattern, flags.multiline, options);
    if (!handles->shared) return nullptr;
    handles->code = handles->shared->code;
    handles->context = pcre2_match_context_create(nullptr);
    handles->data = pcre2_match_data_create_from_pattern(handles->code, nullptr);
    if (handles->context == nullptr || handles->data == nullptr) return nullptr;
    pcre2_set_match_limit(handles->context, kMatchLimit);
    pcre2_set_heap_limit(handles->context, kHeapLimitKiB);
    if (handles->shared->jit) {
        pcre2_jit_stack_assign(handles->context, &ThreadJitStack, nullptr);
        handles->jit = true;
    }
    std::uint32_t captures = 0;
    pcre2_pattern_info(handles->code, PCRE2_INFO_CAPTURECOUNT, &captures);
    return std::unique_ptr<CompiledRegex>(
        new CompiledRegex(std::move(handles), flags.global, static_cast<int>(captures)));
}

int CompiledRegex::MatchFrom(const std::u16string& subject, std::size_t start,
                             RegexMatch* match) const {
    Handles& h = *handles_;
    int rc = pcre2_match(h.code, Units(subject), subject.size(), start, h.jit ? 0 : PCRE2_NO_JIT,
                         h.data, h.context);
    if (h.jit && rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = pcre2_match(h.code, Units(subject), subject.size(), start, PCRE2_NO_JIT, h.data,
                         h.context);
    if (rc == PCRE2_ERROR_NOMATCH) return 0;
    if (rc < 0) return -1;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(h.data);
    std::uint32_t pairs = pcre2_get_ovector_count(h.data);
    match->whole = {ovector[0], ovector[1] - ovector[0]};
    match->groups.assign(static_cast<std::size_t>(groupCount_), std::nullopt);
    for (int g = 1; g <= groupCount_ && static_cast<std::uint32_t>(g) < pairs; ++g) {
        PCRE2_SIZE from = ovector[2 * g], to = ovector[2 * g + 1];
        if (from != PCRE2_UNSET && g < rc) match->groups[g - 1] = RegexMatch::Span{from, to - from};
    }
    return 1;
}

std::optional<std::vector<RegexMatch>> CompiledRegex::Execute(const std::u16string& subject) const {
    std::vector<RegexMatch> matches;
    std::size_t start = 0;
    while (start <= subject.size()) {
        RegexMatch match;
        int rc = MatchFrom(subject, start, &match);
        if (rc < 0) return std::nullopt;
        if (rc == 0) break;
        std::size_t end = match.whole.start + match.whole.length;
        matches.push_back(std::move(match));
        if (!global_) break;
        // An empty match moves the next attempt on by one unit, so the run always advances.
        start = end == matches.back().whole.start ? end + 1 : end;
    }
    return matches;
}

std::u16string ExpandReplacement(const std::u16string& replacement, const std::u16string& subject,
                                 const RegexMatch& match) {
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const std::size_t groups = match.groups.size();
    const std::size_t matchEnd = match.whole.start + match.whole.length;
    std::u16string out;
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out += c;
            continue;
        }
        char16_t next = replacement[i + 1];
        if (next == u'$') {
            out += u'$';
            ++i;
        } else if (next == u'&') {
            out += subject.substr(match.whole.start, match.whole.length);
            ++i;
        } else if (next == u'`') {
            out += subject.substr(0, match.whole.start);
            ++i;
        } else if (next == u'\'') {
            out += subject.substr(matchEnd);
            ++i;
        } else if (isDigit(next)) {
            std::size_t number = next - u'0';
            std::size_t used = 1;
            if (i + 2 < replacement.size() && isDigit(replacement[i + 2])) {
                std::size_t two = number * 10 + (replacement[i + 2] - u'0');
                if (two >= 1 && two <= groups) {
                    number = two;
                    used = 2;
                }
            }
            if (number < 1 || number > groups) {
                out += c;  // not a group: the $ stays as written
                continue;
            }
            if (const auto& span = match.groups[number - 1])
                out += subject.substr(span->start, span->length);
            i += used;
        } else {
            out += c;
        }
    }
    return out;
}

std::u16string ReplaceMatches(const std::u16string& subject, const std::vector<RegexMatch>& matches,
                              const std::u16string& replacement) {
    std::u16string out;
    std::size_t copied = 0;
    for (const RegexMatch& match : matches) {
        out.append(subject, copied, match.whole.start - copied);
        out += ExpandReplacement(replacement, subject, match);
        copied = match.whole.start + match.whole.length;
    }
    out.append(subject, copied, std::u16string::npos);
    return out;
}

}  // namespace lumeno::platform
