// VariantChangeType between the kinds the automation classes exchange.
#include "platform/com/variant.h"

#include "platform/codepage/codepage.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace lumeno::platform {
namespace {

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Fifteen significant digits, trailing zeros dropped, scientific form below 1E-04 and from
// 1E+15 on, as the automation library formats a double ("0.3" for 0.1 + 0.2, "1E-05").
// to_chars is used because it ignores the process locale (no decimal comma).
std::u16string NumberText(double value) {
    if (value == 0) return u"0";  // also -0
    if (std::isnan(value)) return u"NaN";
    if (std::isinf(value)) return value > 0 ? u"Infinity" : u"-Infinity";
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return Widen(text);
}

// Reads a whole string as a decimal number, allowing surrounding spaces and a leading sign.
bool ParseNumber(const std::u16string& text, double* out) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return false;
        ascii.push_back(static_cast<char>(c));
    }
    std::size_t begin = ascii.find_first_not_of(" \t");
    std::size_t end = ascii.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    std::string_view view(ascii.data() + begin, end - begin + 1);
    bool negative = false;
    if (view.front() == '+' || view.front() == '-') {
        negative = view.front() == '-';
        view.remove_prefix(1);
    }
    if (view.empty() || view.front() == '+' || view.front() == '-') return false;
    double value = 0;
    auto [ptr, ec] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (ec != std::errc() || ptr != view.data() + view.size()) return false;
    *out = negative ? -value : value;
    return true;
}

HRESULT ToDouble(const Variant& source, double* out) {
    if (source.IsEmpty())
        *out = 0;
    else if (auto* i = source.I4())
        *out = *i;
    else if (auto* r = source.R8())
        *out = *r;
    else if (auto* b = source.Bool())
        *out = *b ? -1 : 0;  // VARIANT_TRUE is -1
    else if (auto* s = source.Bstr()) {
        if (EqualsAsciiIgnoreCase(*s, u"True"))
            *out = -1;
        else if (EqualsAsciiIgnoreCase(*s, u"False"))
            *out = 0;
        else if (!ParseNumber(*s, out))
            return DISP_E_TYPEMISMATCH;
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

}  // namespace

VarType Variant::Type() const {
    static constexpr VarType kTypes[] = {VarType::Empty,   VarType::I4,   VarType::R8,
                                         VarType::Bool,    VarType::Bstr, VarType::Dispatch,
                                         VarType::UI1Array};
    return kTypes[storage_.index()];
}

std::vector<std::uint8_t> Variant::TakeBytes() {
    auto* held = std::get_if<6>(&storage_);
    if (held == nullptr) return {};
    std::shared_ptr<std::vector<std::uint8_t>> bytes = std::move(*held);
    storage_ = Storage();
    // Sole holder: no one else can see the array, so it may be moved out.
    if (bytes.use_count() == 1) return std::move(*bytes);
    return *bytes;
}

bool Variant::operator==(const Variant& other) const {
    const std::vector<std::uint8_t>* mine = Bytes();
    const std::vector<std::uint8_t>* theirs = other.Bytes();
    if (mine != nullptr || theirs != nullptr) {
        return mine != nullptr && theirs != nullptr && *mine == *theirs;
    }
    return storage_ == other.storage_;
}

HRESULT VariantChangeType(Variant* destination, const Variant& source, VarType type) {
    if (destination == nullptr) return E_POINTER;
    if (source.Type() == type) {
        if (destination != &source) *destination = source;
        return S_OK;
    }
    switch (type) {
        case VarType::Empty:
            destination->Clear();
            return S_OK;
        case VarType::Bstr: {
            std::u16string text;
            if (source.IsEmpty())
                text.clear();
            else if (auto* i = source.I4())
                text = Widen(std::to_string(*i));
            else if (auto* r = source.R8())
                text = NumberText(*r);
            else if (auto* b = source.Bool())
                text = *b ? u"True" : u"False";
            else
                return DISP_E_TYPEMISMATCH;
            *destination = Variant::FromBstr(std::move(text));
            return S_OK;
        }
        case VarType::I4: {
            double value = 0;
            if (HRESULT hr = ToDouble(source, &value); Failed(hr)) return hr;
            // Conversion to an integer rounds half to even, as the automation library does.
            double rounded = std::nearbyint(value);
            if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
                  rounded <= std::numeric_limits<std::int32_t>::max()))
                return DISP_E_OVERFLOW;
            *destination = Variant::FromI4(static_cast<std::int32_t>(rounded));
            return S_OK;
        }
        case VarType::R8: {
            double value = 0;
            if (HRESULT hr = ToDouble(source, &value); Failed(hr)) return hr;
            *destination = Variant::FromR8(value);
            return S_OK;
        }
        case VarType::Bool: {
            double value = 0;
            if (HRESULT hr = ToDouble(source, &value); Failed(hr)) return hr;
            *destination = Variant::FromBool(value != 0);
            return S_OK;
        }
        case VarType::Dispatch:
        case VarType::UI1Array:
            return DISP_E_TYPEMISMATCH;
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT VariantToString(const Variant& source, std::u16string* out) {
    Variant converted;
    HRESULT hr = VariantChangeType(&converted, source, VarType::Bstr);
    if (Succeeded(hr)) *out = *converted.Bstr();
    return hr;
}

HRESULT VariantToInt32(const Variant& source, std::int32_t* out) {
    Variant converted;
    HRESULT hr = VariantChangeType(&converted, source, VarType::I4);
    if (Succeeded(hr)) *out = *converted.I4();
    return hr;
}

HRESULT VariantToDouble(const Variant& source, double* out) {
    Variant converted;
    HRESULT hr = VariantChangeType(&converted, source, VarType::R8);
    if (Succeeded(hr)) *out = *converted.R8();
    return hr;
}

HRESULT VariantToBoolean(const Variant& source, bool* out) {
    Variant converted;
    HRESULT hr = VariantChangeType(&converted, source, VarType::Bool);
    if (Succeeded(hr)) *out = *converted.Bool();
    return hr;
}

}  // namespace lumeno::platform
