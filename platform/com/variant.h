// The VARIANT stand-in: one tagged value of the kinds the automation classes exchange (empty,
// 32-bit integer, double, boolean, UTF-16 string, object reference, one-dimensional byte
// array), with the VariantChangeType-style conversions between them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/com/hresult.h"

namespace lumeno::platform {

class DispatchObject;
using DispatchPtr = std::shared_ptr<DispatchObject>;

// The VARTYPE numbers of the kinds held; UI1Array is VT_ARRAY | VT_UI1.
enum class VarType : std::uint16_t {
    Empty = 0,
    I4 = 3,
    R8 = 5,
    Bstr = 8,
    Dispatch = 9,
    Bool = 11,
    UI1Array = 0x2011,
};

// A value of one VarType. Copying is VariantCopy: strings are copied deeply, object references
// are shared (the reference count rises). A byte array is never changed once held, so copies
// share it, which no holder can tell from a deep copy; a large response body is then not copied
// again each time it is handed on.
class Variant {
public:
    Variant() = default;

    static Variant FromI4(std::int32_t value) {
        return Variant(Storage(std::in_place_index<1>, value));
    }
    static Variant FromR8(double value) { return Variant(Storage(std::in_place_index<2>, value)); }
    static Variant FromBool(bool value) { return Variant(Storage(std::in_place_index<3>, value)); }
    static Variant FromBstr(std::u16string value) {
        return Variant(Storage(std::in_place_index<4>, std::move(value)));
    }
    static Variant FromDispatch(DispatchPtr value) {
        return Variant(Storage(std::in_place_index<5>, std::move(value)));
    }
    static Variant FromBytes(std::vector<std::uint8_t> value) {
        return FromSharedBytes(std::make_shared<std::vector<std::uint8_t>>(std::move(value)));
    }
    // Holds `value` itself (null holds an empty array). Its owner must not change it after.
    static Variant FromSharedBytes(std::shared_ptr<std::vector<std::uint8_t>> value) {
        if (value == nullptr) value = std::make_shared<std::vector<std::uint8_t>>();
        return Variant(Storage(std::in_place_index<6>, std::move(value)));
    }

    VarType Type() const;
    bool IsEmpty() const { return storage_.index() == 0; }

    // Direct access; null when the variant holds another kind.
    const std::int32_t* I4() const { return std::get_if<1>(&storage_); }
    const double* R8() const { return std::get_if<2>(&storage_); }
    const bool* Bool() const { return std::get_if<3>(&storage_); }
    const std::u16string* Bstr() const { return std::get_if<4>(&storage_); }
    const DispatchPtr* Dispatch() const { return std::get_if<5>(&storage_); }
    const std::vector<std::uint8_t>* Bytes() const {
        const auto* held = std::get_if<6>(&storage_);
        return held != nullptr ? held->get() : nullptr;
    }
    // Hands the byte array on and leaves this variant empty: moved when no other holder shares
    // it, copied otherwise. Empty when the variant holds another kind (which it keeps).
    std::vector<std::uint8_t> TakeBytes();

    // VariantClear: back to empty, releasing what was held.
    void Clear() { storage_ = Storage(); }

    // Equal kinds and values; byte arrays compare by their contents.
    bool operator==(const Variant& other) const;

private:
    using Storage = std::variant<std::monostate, std::int32_t, double, bool, std::u16string,
                                 DispatchPtr, std::shared_ptr<std::vector<std::uint8_t>>>;
    explicit Variant(Storage storage) : storage_(std::move(storage)) {}

    Storage storage_;
};

// VariantChangeType: converts `source` to `type` into *destination (which may be `source`).
// Numbers become their shortest text at 15 significant digits ("1.5", "-3", "0.3" for
// 0.1 + 0.2, "1E+21", "1E-05"), booleans "True" and
// "False", empty the empty string or 0; strings are read as numbers or "True"/"False".
// DISP_E_TYPEMISMATCH (destination untouched) when no conversion exists, DISP_E_OVERFLOW when
// a number does not fit a 32-bit integer.
HRESULT VariantChangeType(Variant* destination, const Variant& source, VarType type);

// Convenience forms of VariantChangeType.
HRESULT VariantToString(const Variant& source, std::u16string* out);
HRESULT VariantToInt32(const Variant& source, std::int32_t* out);
HRESULT VariantToDouble(const Variant& source, double* out);
HRESULT VariantToBoolean(const Variant& source, bool* out);

}  // namespace lumeno::platform
