// The dispatch interface every class of the object runtime implements: members are named by
// text (compared without regard to ASCII case, as IDispatch names are) and called as a property
// read, a property write or a method. An object belongs to the thread that made it; a call from
// any other thread fails with RPC_E_WRONG_THREAD before it reaches the class.
#pragma once

#include <memory>
#include <span>
#include <string_view>
#include <thread>

#include "platform/codepage/codepage.h"
#include "platform/com/hresult.h"
#include "platform/com/variant.h"

namespace lumeno::platform {

// The kinds of an invocation, numbered as DISPATCH_METHOD / _PROPERTYGET / _PROPERTYPUT.
enum class DispatchKind { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// Base of every class. Reference counting is the shared_ptr's (DispatchPtr); the owner thread
// is recorded when the object is constructed.
//
// Argument order, for implementers of InvokeMember:
// - Method and PropertyGet: arguments in the order the caller wrote them.
// - PropertyPut: arguments[0] is the value being assigned (the DISPID_PROPERTYPUT argument);
//   arguments[1...] are the property's index arguments, if any, in order.
// A class may write into an argument; the caller copies it back when it passed that argument
// by reference. `result` may be null when the caller wants no result; otherwise it arrives empty.
class DispatchObject : public std::enable_shared_from_this<DispatchObject> {
public:
    DispatchObject();
    virtual ~DispatchObject() = default;
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // Checks the calling thread, then hands the call to the class.
    HRESULT Invoke(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                   Variant* result);

    std::thread::id OwnerThread() const { return owner_; }

protected:
    virtual HRESULT InvokeMember(std::string_view member, DispatchKind kind,
                                 std::span<Variant> arguments, Variant* result) = 0;

private:
    std::thread::id owner_;
};

// True when `member` names `name`, ignoring ASCII case ("charset" names "Charset"). Inline:
// an object's dispatch tries it against each of its member names in turn, and most differ in
// length.
inline bool MemberIs(std::string_view member, std::string_view name) {
    return EqualsAsciiIgnoreCase(member, name);
}

}  // namespace lumeno::platform
