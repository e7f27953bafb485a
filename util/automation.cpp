// Automation services on the object runtime: argument marshalling, result conversion and the
// per-thread status of the last call.
#include "util/automation.h"

#include <array>
#include <span>
#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/com/dispatch.h"
#include "platform/com/runtime.h"

namespace lumeno {
namespace {

using platform::DispatchKind;
using platform::HRESULT;
using platform::Variant;

thread_local std::int32_t tLastObjectError = 0;

Variant TextVariant(const Text& text) {
    return Variant::FromBstr(platform::GbkToUtf16(text));
}

// Runs one invocation: converts the arguments, calls the member, copies by-reference arguments
// back and records the status. `leading` goes in front of `arguments` (a put's value).
HRESULT Invoke(const AutomationObject& object, const Text& name, DispatchKind kind,
               const AutomationArgument* leading, AutomationArguments arguments, Variant* result) {
    HRESULT hr = platform::E_POINTER;
    if (object.Get()) {
        // Calls take a handful of arguments: up to kInlineArguments are marshalled on the stack,
        // more in a vector, so an everyday call allocates nothing of its own.
        constexpr std::size_t kInlineArguments = 8;
        const std::size_t count = arguments.size() + (leading != nullptr ? 1 : 0);
        std::array<Variant, kInlineArguments> inlineValues;
        std::vector<Variant> moreValues;
        std::span<Variant> values(inlineValues.data(), count);
        if (count > kInlineArguments) {
            moreValues.resize(count);
            values = std::span<Variant>(moreValues);
        }
        const auto argumentAt = [&](std::size_t i) -> const AutomationArgument& {
            if (leading != nullptr) return i == 0 ? *leading : arguments.begin()[i - 1];
            return arguments.begin()[i];
        };
        for (std::size_t i = 0; i < count; ++i) values[i] = argumentAt(i).Value();
        hr = object.Get()->Invoke(name, kind, values, result);
        if (platform::Succeeded(hr)) {
            for (std::size_t i = 0; i < count; ++i)
                if (AutomationVariant* target = argumentAt(i).Target()) target->Value() = values[i];
        }
    }
    tLastObjectError = platform::Failed(hr) ? hr : 0;
    return hr;
}

// Records a failed conversion of a result as the call's status.
void FailConversion(HRESULT hr) {
    tLastObjectError = hr;
}

// A Text ends at its first zero byte: a string holding a zero character (a decoded page with a
// zero byte in it, say) comes back up to that character.
Text TextOfString(std::u16string_view wide) {
    return platform::Utf16ToGbk(wide.substr(0, wide.find(u'\0')));
}

Text ResultText(HRESULT hr, const Variant& result) {
    if (platform::Failed(hr)) return {};
    std::u16string wide;
    if (HRESULT converted = platform::VariantToString(result, &wide); platform::Failed(converted)) {
        FailConversion(converted);
        return {};
    }
    return TextOfString(wide);
}

AutomationObject ResultObject(HRESULT hr, const Variant& result) {
    if (platform::Failed(hr)) return {};
    const platform::DispatchPtr* object = result.Dispatch();
    if (object == nullptr || !*object) {
        FailConversion(platform::DISP_E_TYPEMISMATCH);
        return {};
    }
    return AutomationObject(*object);
}

}  // namespace

AutomationArgument::AutomationArgument(const Text& text) : value_(TextVariant(text)) {}
AutomationArgument::AutomationArgument(const char* text)
    : value_(TextVariant(text == nullptr ? Text() : Text(text))) {}
AutomationArgument::AutomationArgument(int value) : value_(Variant::FromI4(value)) {}
AutomationArgument::AutomationArgument(double value) : value_(Variant::FromR8(value)) {}
AutomationArgument::AutomationArgument(bool value) : value_(Variant::FromBool(value)) {}
AutomationArgument::AutomationArgument(const AutomationObject& object)
    : value_(Variant::FromDispatch(object.Get())) {}
AutomationArgument::AutomationArgument(const ByteSet& bytes) : value_(Variant::FromBytes(bytes)) {}
AutomationArgument::AutomationArgument(const AutomationVariant& variant)
    : value_(variant.Value()) {}

AutomationArgument AutomationArgument::ByRef(AutomationVariant& variant) {
    AutomationArgument argument;
    argument.value_ = variant.Value();
    argument.target_ = &variant;
    return argument;
}

std::int32_t LastObjectError() {
    return tLastObjectError;
}

void InitializeObjectThread() {
    platform::CoInitialize(nullptr);
}

void UninitializeObjectThread() {
    platform::CoUninitialize();
}

bool CreateObject(AutomationObject& object, const Text& className) {
    platform::DispatchPtr made;
    HRESULT hr = platform::CreateInstance(className, platform::CLSCTX_ALL, &made);
    if (hr == platform::E_INVALIDARG)
        hr = platform::CreateInstance(className,
                                      platform::CLSCTX_INPROC_SERVER |
                                          platform::CLSCTX_INPROC_HANDLER |
                                          platform::CLSCTX_LOCAL_SERVER,
                                      &made);
    if (platform::Failed(hr) || platform::Failed(platform::OleRun(made))) return false;
    object.Reset(std::move(made));
    return true;
}

Text GetPropertyText(const AutomationObject& object, const Text& name,
                     AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::PropertyGet, nullptr, arguments, &result);
    return ResultText(hr, result);
}

double GetPropertyNumber(const AutomationObject& object, const Text& name,
                         AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::PropertyGet, nullptr, arguments, &result);
    if (platform::Failed(hr)) return 0;
    double number = 0;
    if (HRESULT converted = platform::VariantToDouble(result, &number);
        platform::Failed(converted)) {
        FailConversion(converted);
        return 0;
    }
    return number;
}

AutomationObject GetPropertyObject(const AutomationObject& object, const Text& name,
                                   AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::PropertyGet, nullptr, arguments, &result);
    return ResultObject(hr, result);
}

AutomationVariant GetPropertyVariant(const AutomationObject& object, const Text& name,
                                     AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::PropertyGet, nullptr, arguments, &result);
    if (platform::Failed(hr)) return {};
    return AutomationVariant(std::move(result));
}

bool PutProperty(const AutomationObject& object, const Text& name, const AutomationArgument& value,
                 AutomationArguments more) {
    Invoke(object, name, DispatchKind::PropertyPut, &value, more, nullptr);
    return tLastObjectError == 0;
}

void CallMethod(const AutomationObject& object, const Text& name, AutomationArguments arguments) {
    Invoke(object, name, DispatchKind::Method, nullptr, arguments, nullptr);
}

Text CallMethodText(const AutomationObject& object, const Text& name,
                    AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::Method, nullptr, arguments, &result);
    return ResultText(hr, result);
}

AutomationObject CallMethodObject(const AutomationObject& object, const Text& name,
                                  AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::Method, nullptr, arguments, &result);
    return ResultObject(hr, result);
}

AutomationVariant CallMethodVariant(const AutomationObject& object, const Text& name,
                                    AutomationArguments arguments) {
    Variant result;
    HRESULT hr = Invoke(object, name, DispatchKind::Method, nullptr, arguments, &result);
    if (platform::Failed(hr)) return {};
    return AutomationVariant(std::move(result));
}

void ReleaseObject(AutomationObject& object) {
    object.Reset();
}

void CopyObject(AutomationObject& destination, const AutomationObject& source) {
    destination.Reset(source.Get());
}

bool IsEmptyObject(const AutomationObject& object) {
    return !object.Get();
}

void AssignVariant(AutomationVariant& variant, const Text& value) {
    variant.Value() = TextVariant(value);
}
void AssignVariant(AutomationVariant& variant, const char* value) {
    variant.Value() = TextVariant(value == nullptr ? Text() : Text(value));
}
void AssignVariant(AutomationVariant& variant, int value) {
    variant.Value() = Variant::FromI4(value);
}
void AssignVariant(AutomationVariant& variant, double value) {
    variant.Value() = Variant::FromR8(value);
}
void AssignVariant(AutomationVariant& variant, bool value) {
    variant.Value() = Variant::FromBool(value);
}
void AssignVariant(AutomationVariant& variant, const AutomationObject& value) {
    variant.Value() = Variant::FromDispatch(value.Get());
}
void AssignVariant(AutomationVariant& variant, const ByteSet& value) {
    variant.Value() = Variant::FromBytes(value);
}
void AssignVariant(AutomationVariant& variant, ByteSet&& value) {
    variant.Value() = Variant::FromBytes(std::move(value));
}

Text VariantToText(const AutomationVariant& variant) {
    std::u16string wide;
    if (platform::Failed(platform::VariantToString(variant.Value(), &wide))) return {};
    return TextOfString(wide);
}

ByteSet VariantToBytes(const AutomationVariant& variant) {
    const auto* bytes = variant.Value().Bytes();
    return bytes == nullptr ? ByteSet() : *bytes;
}

ByteSet VariantToBytes(AutomationVariant&& variant) {
    return variant.Value().TakeBytes();
}

void ClearVariant(AutomationVariant& variant) {
    variant.Value().Clear();
}

void CopyVariant(AutomationVariant& destination, const AutomationVariant& source) {
    destination.Value().Clear();
    destination.Value() = source.Value();
}

}  // namespace lumeno
