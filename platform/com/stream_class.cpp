// The stream class. Members: Type, Mode, Charset, Position (properties), Size (read-only),
// Open, Write, ReadText, Close (methods).
#include "platform/com/stream_class.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/charset_table.h"

namespace lumeno::platform {
namespace {

class StreamObject final : public DispatchObject {
private:
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (kind == DispatchKind::Method) return CallMember(member, arguments, result);
        bool put = kind == DispatchKind::PropertyPut;
        if (arguments.size() != (put ? 1u : 0u)) return DISP_E_BADPARAMCOUNT;
        if (MemberIs(member, "Type")) return put ? PutType(arguments[0]) : Give(result, type_);
        if (MemberIs(member, "Mode")) return put ? PutMode(arguments[0]) : Give(result, mode_);
        if (MemberIs(member, "Charset"))
            return put ? PutCharset(arguments[0]) : GiveText(result, charset_);
        if (MemberIs(member, "Position"))
            return put ? PutPosition(arguments[0]) : Give(result, Count(position_));
        if (MemberIs(member, "Size")) {
            if (put) return DISP_E_MEMBERNOTFOUND;
            if (!open_) return kStreamClosedError;
            return Give(result, Count(data_.size()));
        }
        return DISP_E_UNKNOWNNAME;
    }

    static std::int32_t Count(std::size_t n) { return static_cast<std::int32_t>(n); }

    static HRESULT Give(Variant* result, std::int32_t value) {
        if (result) *result = Variant::FromI4(value);
        return S_OK;
    }
    static HRESULT GiveText(Variant* result, const std::string& value) {
        if (result) *result = Variant::FromBstr(std::u16string(value.begin(), value.end()));
        return S_OK;
    }

    HRESULT PutType(const Variant& value) {
        std::int32_t type = 0;
        if (Failed(VariantToInt32(value, &type))) return kStreamArgumentError;
        if (type != kStreamTypeBinary && type != kStreamTypeText) return kStreamArgumentError;
        // The type may change only at the start of the data.
        if (open_ && position_ != 0) return kStreamContextError;
        type_ = type;
        return S_OK;
    }

    HRESULT PutMode(const Variant& value) {
        std::int32_t mode = 0;
        if (Failed(VariantToInt32(value, &mode))) return kStreamArgumentError;
        if (open_) return kStreamContextError;  // the mode is fixed while the stream is open
        mode_ = mode;
        return S_OK;
    }

    HRESULT PutCharset(const Variant& value) {
        std::u16string wide;
        if (Failed(VariantToString(value, &wide))) return kStreamArgumentError;
        std::string name;
        for (char16_t c : wide) {
            if (c > 0x7F) return kStreamArgumentError;
            name.push_back(static_cast<char>(c));
        }
        std::optional<std::string> iconvName = IconvCharsetName(name);
        if (!iconvName) return kStreamArgumentError;
        if (open_ && position_ != 0) return kStreamContextError;
        charset_ = name;
        iconvName_ = *iconvName;
        return S_OK;
    }

    HRESULT PutPosition(const Variant& value) {
        if (!open_) return kStreamClosedError;
        std::int32_t position = 0;
        if (Failed(VariantToInt32(value, &position))) return kStreamArgumentError;
        if (position < 0 || static_cast<std::size_t>(position) > data_.size())
            return kStreamArgumentError;
        position_ = static_cast<std::size_t>(position);
        return S_OK;
    }

    HRESULT CallMember(std::string_view member, std::span<Variant> arguments, Variant* result) {
        if (MemberIs(member, "Open")) {
            // Source, mode, options, user and password are not used by an in-memory stream.
            if (open_) return kStreamContextError;
            open_ = true;
            data_.clear();
            position_ = 0;
            return S_OK;
        }
        if (MemberIs(member, "Close")) {
            if (!open_) return kStreamClosedError;
            open_ = false;
            data_.clear();
            position_ = 0;
            return S_OK;
        }
        if (MemberIs(member, "Write")) return Write(arguments);
        if (MemberIs(member, "ReadText")) return ReadText(arguments, result);
        return DISP_E_UNKNOWNNAME;
    }

    // Writes a byte array at the position, overwriting what is there and growing the data.
    HRESULT Write(std::span<Variant> arguments) {
        if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
        if (!open_) return kStreamClosedError;
        if (type_ != kStreamTypeBinary) return kStreamContextError;
        const std::vector<std::uint8_t>* bytes = arguments[0].Bytes();
        if (bytes == nullptr) return kStreamArgumentError;
        if (position_ + bytes->size() > data_.size()) data_.resize(position_ + bytes->size());
        std::copy(bytes->begin(), bytes->end(), data_.begin() + static_cast<long>(position_));
        position_ += bytes->size();
        return S_OK;
    }

    // Reads from the position to the end as text in the charset (an optional count of
    // characters may be given; only "all", -1, is supported).
    HRESULT ReadText(std::span<Variant> arguments, Variant* result) {
        if (arguments.size() > 1) return DISP_E_BADPARAMCOUNT;
        if (!open_) return kStreamClosedError;
        if (type_ != kStreamTypeText) return kStreamContextError;
        if (arguments.size() == 1) {
            std::int32_t count = 0;
            if (Failed(VariantToInt32(arguments[0], &count)) || count != -1)
                return kStreamArgumentError;
        }
        std::span<const std::uint8_t> rest(data_.data() + position_, data_.size() - position_);
        rest = SkipByteOrderMark(rest);
        std::optional<std::u16string> text = DecodeToUtf16(rest, iconvName_);
        if (!text) return kStreamArgumentError;
        position_ = data_.size();
        if (result) *result = Variant::FromBstr(std::move(*text));
        return S_OK;
    }

    // A byte-order mark of the charset at the start of the data is not part of the text.
    std::span<const std::uint8_t> SkipByteOrderMark(std::span<const std::uint8_t> bytes) const {
        if (position_ != 0) return bytes;
        auto startsWith = [&](std::initializer_list<std::uint8_t> mark) {
            return bytes.size() >= mark.size() &&
                   std::equal(mark.begin(), mark.end(), bytes.begin());
        };
        if (iconvName_ == "UTF-8" && startsWith({0xEF, 0xBB, 0xBF})) return bytes.subspan(3);
        if (iconvName_ == "UTF-16LE" && startsWith({0xFF, 0xFE})) return bytes.subspan(2);
        if (iconvName_ == "UTF-16BE" && startsWith({0xFE, 0xFF})) return bytes.subspan(2);
        return bytes;
    }

    std::int32_t type_ = kStreamTypeText;
    std::int32_t mode_ = 0;
    std::string charset_ = "unicode";
    std::string iconvName_ = "UTF-16LE";
    bool open_ = false;
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};

}  // namespace

DispatchPtr MakeStreamObject() {
    return std::make_shared<StreamObject>();
}

}  // namespace lumeno::platform
