// The regular-expression class: properties Pattern, IgnoreCase, Global, Multiline; methods
// Execute, Replace, Test. Execute gives a match collection (Count, Item) of matches (Value,
// FirstIndex, Length, SubMatches), whose SubMatches is a collection (Count, Item) of strings,
// empty for a group that did not take part.
#include "platform/com/regexp_class.h"

#include <memory>
#include <vector>

#include "platform/com/regexp_engine.h"

namespace lumeno::platform {
namespace {

// What every collection shares: Count and a 0-based Item.
class IndexedCollection : public DispatchObject {
protected:
    virtual std::size_t Size() const = 0;
    virtual Variant At(std::size_t index) const = 0;

    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (kind == DispatchKind::PropertyPut) return DISP_E_MEMBERNOTFOUND;
        if (MemberIs(member, "Count")) {
            if (!arguments.empty()) return DISP_E_BADPARAMCOUNT;
            if (result) *result = Variant::FromI4(static_cast<std::int32_t>(Size()));
            return S_OK;
        }
        if (MemberIs(member, "Item")) {
            if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
            std::int32_t index = 0;
            if (HRESULT hr = VariantToInt32(arguments[0], &index); Failed(hr)) return hr;
            if (index < 0 || static_cast<std::size_t>(index) >= Size()) return DISP_E_BADINDEX;
            if (result) *result = At(static_cast<std::size_t>(index));
            return S_OK;
        }
        return DISP_E_UNKNOWNNAME;
    }
};

// The subject and matches of one run, shared by the collection and every match object.
struct RunResult {
    std::u16string subject;
    std::vector<RegexMatch> matches;
};

class SubMatchesObject final : public IndexedCollection {
public:
    SubMatchesObject(std::shared_ptr<const RunResult> run, std::size_t match)
        : run_(std::move(run)), match_(match) {}

private:
    const RegexMatch& Match() const { return run_->matches[match_]; }
    std::size_t Size() const override { return Match().groups.size(); }
    Variant At(std::size_t index) const override {
        const auto& span = Match().groups[index];
        if (!span) return Variant();
        return Variant::FromBstr(run_->subject.substr(span->start, span->length));
    }

    std::shared_ptr<const RunResult> run_;
    std::size_t match_;
};

class MatchObject final : public DispatchObject {
public:
    MatchObject(std::shared_ptr<const RunResult> run, std::size_t match)
        : run_(std::move(run)), match_(match) {}

private:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (kind == DispatchKind::PropertyPut) return DISP_E_MEMBERNOTFOUND;
        if (!arguments.empty()) return DISP_E_BADPARAMCOUNT;
        const RegexMatch& match = run_->matches[match_];
        Variant value;
        if (MemberIs(member, "Value"))
            value = Variant::FromBstr(run_->subject.substr(match.whole.start, match.whole.length));
        else if (MemberIs(member, "FirstIndex"))
            value = Variant::FromI4(static_cast<std::int32_t>(match.whole.start));
        else if (MemberIs(member, "Length"))
            value = Variant::FromI4(static_cast<std::int32_t>(match.whole.length));
        else if (MemberIs(member, "SubMatches"))
            value = Variant::FromDispatch(std::make_shared<SubMatchesObject>(run_, match_));
        else
            return DISP_E_UNKNOWNNAME;
        if (result) *result = std::move(value);
        return S_OK;
    }

    std::shared_ptr<const RunResult> run_;
    std::size_t match_;
};

class MatchCollectionObject final : public IndexedCollection {
public:
    explicit MatchCollectionObject(std::shared_ptr<const RunResult> run) : run_(std::move(run)) {}

private:
    std::size_t Size() const override { return run_->matches.size(); }
    Variant At(std::size_t index) const override {
        return Variant::FromDispatch(std::make_shared<MatchObject>(run_, index));
    }

    std::shared_ptr<const RunResult> run_;
};

class RegExpObject final : public DispatchObject {
private:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (kind == DispatchKind::Method) return CallMember(member, arguments, result);
        if (MemberIs(member, "Pattern")) return StringProperty(kind, arguments, result, &pattern_);
        if (MemberIs(member, "IgnoreCase"))
            return FlagProperty(kind, arguments, result, &flags_.ignoreCase);
        if (MemberIs(member, "Global"))
            return FlagProperty(kind, arguments, result, &flags_.global);
        if (MemberIs(member, "Multiline"))
            return FlagProperty(kind, arguments, result, &flags_.multiline);
        return DISP_E_UNKNOWNNAME;  // there is no Singleline: "." never matches a line feed
    }

    HRESULT StringProperty(DispatchKind kind, std::span<Variant> arguments, Variant* result,
                           std::u16string* field) {
        if (arguments.size() != (kind == DispatchKind::PropertyPut ? 1u : 0u))
            return DISP_E_BADPARAMCOUNT;
        if (kind == DispatchKind::PropertyGet) {
            if (result) *result = Variant::FromBstr(*field);
            return S_OK;
        }
        std::u16string value;
        if (HRESULT hr = VariantToString(arguments[0], &value); Failed(hr)) return hr;
        *field = std::move(value);
        compiled_.reset();
        return S_OK;
    }

    HRESULT FlagProperty(DispatchKind kind, std::span<Variant> arguments, Variant* result,
                         bool* field) {
        if (arguments.size() != (kind == DispatchKind::PropertyPut ? 1u : 0u))
            return DISP_E_BADPARAMCOUNT;
        if (kind == DispatchKind::PropertyGet) {
            if (result) *result = Variant::FromBool(*field);
            return S_OK;
        }
        bool value = false;
        if (HRESULT hr = VariantToBoolean(arguments[0], &value); Failed(hr)) return hr;
        if (value != *field) compiled_.reset();
        *field = value;
        return S_OK;
    }

    // Runs the pattern over the argument at `index` (a string) into *run.
    HRESULT Run(std::span<Variant> arguments, std::shared_ptr<RunResult>* run) {
        auto made = std::make_shared<RunResult>();
        if (HRESULT hr = VariantToString(arguments[0], &made->subject); Failed(hr)) return hr;
        if (!compiled_) compiled_ = CompiledRegex::Compile(pattern_, flags_);
        if (!compiled_) return kRegexSyntaxError;
        auto matches = compiled_->Execute(made->subject);
        if (!matches) return E_FAIL;  // the match limit was hit
        made->matches = std::move(*matches);
        *run = std::move(made);
        return S_OK;
    }

    HRESULT CallMember(std::string_view member, std::span<Variant> arguments, Variant* result) {
        bool execute = MemberIs(member, "Execute"), test = MemberIs(member, "Test");
        bool replace = MemberIs(member, "Replace");
        if (!execute && !test && !replace) return DISP_E_UNKNOWNNAME;
        if (arguments.size() != (replace ? 2u : 1u)) return DISP_E_BADPARAMCOUNT;
        std::u16string replacement;
        if (replace) {
            if (HRESULT hr = VariantToString(arguments[1], &replacement); Failed(hr)) return hr;
        }
        std::shared_ptr<RunResult> run;
        if (HRESULT hr = Run(arguments, &run); Failed(hr)) return hr;
        Variant value;
        if (execute)
            value = Variant::FromDispatch(std::make_shared<MatchCollectionObject>(run));
        else if (test)
            value = Variant::FromBool(!run->matches.empty());
        else
            value = Variant::FromBstr(ReplaceMatches(run->subject, run->matches, replacement));
        if (result) *result = std::move(value);
        return S_OK;
    }

    std::u16string pattern_;
    RegexFlags flags_;
    std::unique_ptr<CompiledRegex> compiled_;
};

}  // namespace

DispatchPtr MakeRegExpObject() {
    return std::make_shared<RegExpObject>();
}

}  // namespace lumeno::platform
