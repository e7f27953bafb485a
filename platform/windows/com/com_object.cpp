// The IDispatch adapter: invocation by member name with the argument order of IDispatch
// (rgvarg in reverse, a property put's value as the named DISPID_PROPERTYPUT argument), and the
// error of a raised exception as the call's result.
#include "platform/windows/com/com_object.h"

#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/windows/com/com_variant.h"

namespace lumeno::platform::win32 {
namespace {

// Clears the VARIANTs it owns on every way out.
class VariantArray {
public:
    explicit VariantArray(std::size_t count) : values_(count) {
        for (VARIANT& value : values_) ::VariantInit(&value);
    }
    ~VariantArray() {
        for (VARIANT& value : values_) ::VariantClear(&value);
    }
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;

    VARIANT* data() { return values_.empty() ? nullptr : values_.data(); }
    VARIANT& operator[](std::size_t i) { return values_[i]; }

private:
    std::vector<VARIANT> values_;
};

WORD SystemFlags(DispatchKind kind) {
    switch (kind) {
        case DispatchKind::Method:
            return DISPATCH_METHOD;
        case DispatchKind::PropertyGet:
            return DISPATCH_PROPERTYGET;
        case DispatchKind::PropertyPut:
            return DISPATCH_PROPERTYPUT;
    }
    return DISPATCH_METHOD;
}

class SystemObject final : public DispatchObject {
public:
    SystemObject(IDispatch* object, std::uint64_t apartment)
        : object_(object), apartment_(apartment) {
        object_->AddRef();
    }

    ~SystemObject() override {
        // Released only on its own thread and in its own apartment; otherwise the apartment
        // took the object with it, and the reference is dropped without a call.
        if (std::this_thread::get_id() == OwnerThread() && CurrentApartment() == apartment_ &&
            apartment_ != 0) {
            object_->Release();
        }
    }

    IDispatch* System() const { return object_; }

protected:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (apartment_ == 0 || CurrentApartment() != apartment_) return CO_E_NOTINITIALIZED;
        std::u16string name = GbkToUtf16(member);
        if (name.empty()) return DISP_E_UNKNOWNNAME;
        LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
        DISPID id = 0;
        ::HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (!Ok(hr)) return hr;

        // rgvarg holds the arguments last to first. For a put, our arguments[0] is the value,
        // which IDispatch wants at rgvarg[0] as the named argument; the index arguments follow
        // it, again last to first.
        const std::size_t count = arguments.size();
        VariantArray values(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t source =
                kind == DispatchKind::PropertyPut ? (i == 0 ? 0 : count - i) : count - 1 - i;
            if (HRESULT converted = ToSystemVariant(arguments[source], &values[i]);
                Failed(converted)) {
                return converted;
            }
        }
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{};
        parameters.rgvarg = values.data();
        parameters.cArgs = static_cast<UINT>(count);
        if (kind == DispatchKind::PropertyPut) {
            parameters.rgdispidNamedArgs = &putId;
            parameters.cNamedArgs = 1;
        }

        VariantArray answer(1);
        EXCEPINFO exception{};
        UINT argumentError = 0;
        hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, SystemFlags(kind), &parameters,
                             result != nullptr ? &answer[0] : nullptr, &exception, &argumentError);
        if (hr == static_cast<::HRESULT>(0x80020009u)) {  // DISP_E_EXCEPTION
            if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
            // The error the object raised says more than "an exception occurred".
            if (exception.scode < 0) hr = exception.scode;
        }
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
        if (!Ok(hr)) return hr;
        if (result != nullptr) return FromSystemVariant(answer[0], result);
        return S_OK;
    }

private:
    IDispatch* object_;
    const std::uint64_t apartment_;
};

}  // namespace

DispatchPtr WrapSystemObject(IDispatch* object) {
    if (object == nullptr) return nullptr;
    return std::make_shared<SystemObject>(object, CurrentApartment());
}

IDispatch* SystemDispatch(const DispatchPtr& object) {
    const auto* system = dynamic_cast<const SystemObject*>(object.get());
    return system == nullptr ? nullptr : system->System();
}

}  // namespace lumeno::platform::win32
