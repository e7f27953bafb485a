// Automation objects as the logic sees them: holders of one object reference and of one
// variant, creation by class name, late-bound property reads and writes and method calls, and
// the per-thread status of the last call. No service raises: a failed call gives the empty
// value of the requested kind and leaves a negative LastObjectError(). Texts cross as UTF-16
// converted from and to GBK, byte sets as one-dimensional byte arrays.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/com/variant.h"
#include "util/text_types.h"

namespace lumeno {

// A holder of at most one object reference; empty when it holds none. Copying the holder
// shares the reference, as CopyObject does.
class AutomationObject {
public:
    AutomationObject() = default;
    explicit AutomationObject(platform::DispatchPtr object) : object_(std::move(object)) {}

    const platform::DispatchPtr& Get() const { return object_; }
    void Reset(platform::DispatchPtr object = nullptr) { object_ = std::move(object); }

private:
    platform::DispatchPtr object_;
};

// A holder of one variant, initially empty.
class AutomationVariant {
public:
    AutomationVariant() = default;
    explicit AutomationVariant(platform::Variant value) : value_(std::move(value)) {}

    const platform::Variant& Value() const { return value_; }
    platform::Variant& Value() { return value_; }

private:
    platform::Variant value_;
};

// One argument of GetProperty / PutProperty / CallMethod, converted by the rules of
// AssignVariant. ByRef arguments are passed by reference: whatever the member writes into
// them is copied back after the call.
class AutomationArgument {
public:
    AutomationArgument(const Text& text);
    AutomationArgument(const char* text);
    AutomationArgument(int value);
    AutomationArgument(double value);
    AutomationArgument(bool value);
    AutomationArgument(const AutomationObject& object);
    AutomationArgument(const ByteSet& bytes);
    AutomationArgument(const AutomationVariant& variant);

    static AutomationArgument ByRef(AutomationVariant& variant);

    const platform::Variant& Value() const { return value_; }
    AutomationVariant* Target() const { return target_; }

private:
    AutomationArgument() = default;

    platform::Variant value_;
    AutomationVariant* target_ = nullptr;
};

using AutomationArguments = std::initializer_list<AutomationArgument>;

// The calling thread's status of its last property read, property write or method call:
// 0 on success, negative on failure.
std::int32_t LastObjectError();

// Initialises the object runtime for the calling thread (nested calls are counted, harmless).
void InitializeObjectThread();
// Undoes one InitializeObjectThread of the calling thread.
void UninitializeObjectThread();

// Pairs one InitializeObjectThread with its UninitializeObjectThread, so a routine leaves the
// thread's object runtime as it found it on every way out.
class ObjectThreadScope {
public:
    ObjectThreadScope() { InitializeObjectThread(); }
    ~ObjectThreadScope() { UninitializeObjectThread(); }
    ObjectThreadScope(const ObjectThreadScope&) = delete;
    ObjectThreadScope& operator=(const ObjectThreadScope&) = delete;
};

// Creates an instance of `className` (a ProgID, or a CLSID in braces). On success the holder's
// previous reference is released, the new one stored and true returned; on failure false and
// the holder keeps what it held.
bool CreateObject(AutomationObject& object, const Text& className);

// Property reads, one per result kind. Arguments index a parameterised property (Item(i)).
Text GetPropertyText(const AutomationObject& object, const Text& name,
                     AutomationArguments arguments = {});
double GetPropertyNumber(const AutomationObject& object, const Text& name,
                         AutomationArguments arguments = {});
AutomationObject GetPropertyObject(const AutomationObject& object, const Text& name,
                                   AutomationArguments arguments = {});
AutomationVariant GetPropertyVariant(const AutomationObject& object, const Text& name,
                                     AutomationArguments arguments = {});

// Writes `value` to the named property (`more`: index arguments of a parameterised property).
// True when LastObjectError() is 0.
bool PutProperty(const AutomationObject& object, const Text& name, const AutomationArgument& value,
                 AutomationArguments more = {});

// Method calls, one per result kind.
void CallMethod(const AutomationObject& object, const Text& name,
                AutomationArguments arguments = {});
Text CallMethodText(const AutomationObject& object, const Text& name,
                    AutomationArguments arguments = {});
AutomationObject CallMethodObject(const AutomationObject& object, const Text& name,
                                  AutomationArguments arguments = {});
AutomationVariant CallMethodVariant(const AutomationObject& object, const Text& name,
                                    AutomationArguments arguments = {});

// Releases the held reference and empties the holder; harmless on an empty holder.
void ReleaseObject(AutomationObject& object);
// The destination holds the source's reference too.
void CopyObject(AutomationObject& destination, const AutomationObject& source);
bool IsEmptyObject(const AutomationObject& object);

// Clears the variant, then stores the value: text as a UTF-16 string, integer as I4, number
// as R8, boolean as BOOL, object as DISPATCH, byte set as a byte array (every byte kept).
void AssignVariant(AutomationVariant& variant, const Text& value);
void AssignVariant(AutomationVariant& variant, const char* value);
void AssignVariant(AutomationVariant& variant, int value);
void AssignVariant(AutomationVariant& variant, double value);
void AssignVariant(AutomationVariant& variant, bool value);
void AssignVariant(AutomationVariant& variant, const AutomationObject& value);
void AssignVariant(AutomationVariant& variant, const ByteSet& value);
// The same, taking the bytes over instead of copying them.
void AssignVariant(AutomationVariant& variant, ByteSet&& value);

// The value converted to a string and then to GBK, up to its first zero character; empty when
// it cannot be converted.
Text VariantToText(const AutomationVariant& variant);
// The bytes of a byte-array variant; empty for anything else.
ByteSet VariantToBytes(const AutomationVariant& variant);
// The same, taking the bytes over from a variant that is going away.
ByteSet VariantToBytes(AutomationVariant&& variant);
void ClearVariant(AutomationVariant& variant);
// Deep copy into the emptied destination.
void CopyVariant(AutomationVariant& destination, const AutomationVariant& source);

}  // namespace lumeno
