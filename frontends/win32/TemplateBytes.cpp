#include "frontends/win32/TemplateBytes.hpp"

#include <span>

#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::win32 {

namespace {

constexpr std::uint16_t EXTENDED_VERSION = 1;
constexpr std::uint16_t EXTENDED_SIGNATURE = 0xFFFF;
constexpr std::uint16_t ORDINAL_MARK = 0xFFFF;

class ByteWriter {
  public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value) {
        const std::size_t at = Grow(2);
        byteorder::PutU16LE(std::span(bytes_), at, value);
    }
    void U32(std::uint32_t value) {
        const std::size_t at = Grow(4);
        byteorder::PutU32LE(std::span(bytes_), at, value);
    }
    void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
    void Text(const std::u16string& text) {
        for (char16_t unit : text) {
            U16(static_cast<std::uint16_t>(unit));
        }
        U16(0);
    }
    void AlignTo4() {
        while (bytes_.size() % 4 != 0) {
            U8(0);
        }
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::size_t Grow(std::size_t count) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + count);
        return at;
    }

    std::vector<std::uint8_t> bytes_;
};

void WriteHeader(ByteWriter& out, const TemplateHeader& header, std::size_t itemCount) {
    out.U16(EXTENDED_VERSION);
    out.U16(EXTENDED_SIGNATURE);
    out.U32(0);  // help id
    out.U32(header.exStyle);
    out.U32(header.style);
    out.U16(static_cast<std::uint16_t>(itemCount));
    out.I16(header.x);
    out.I16(header.y);
    out.I16(header.cx);
    out.I16(header.cy);
    out.U16(0);  // no menu
    out.U16(0);  // the dialog class
    out.Text(header.title);
    out.U16(header.pointSize);
    out.U16(header.weight);
    out.U8(header.italic);
    out.U8(header.charset);
    out.Text(header.faceName);
}

void WriteItem(ByteWriter& out, const TemplateItem& item) {
    out.AlignTo4();
    out.U32(0);  // help id
    out.U32(item.exStyle);
    out.U32(item.style);
    out.I16(item.x);
    out.I16(item.y);
    out.I16(item.cx);
    out.I16(item.cy);
    out.U32(item.id);
    if (const auto* atom = std::get_if<ClassAtom>(&item.windowClass)) {
        out.U16(ORDINAL_MARK);
        out.U16(static_cast<std::uint16_t>(*atom));
    } else {
        out.Text(std::get<std::u16string>(item.windowClass));
    }
    if (const auto* ordinal = std::get_if<ResourceOrdinal>(&item.title)) {
        out.U16(ORDINAL_MARK);
        out.U16(ordinal->number);
    } else {
        out.Text(std::get<std::u16string>(item.title));
    }
    out.U16(0);  // no creation data
}

}  // namespace

std::vector<std::uint8_t> BuildTemplateBytes(const TemplateHeader& header,
                                             const std::vector<TemplateItem>& items) {
    ByteWriter out;
    WriteHeader(out, header, items.size());
    for (const TemplateItem& item : items) {
        WriteItem(out, item);
    }
    return out.Take();
}

}  // namespace quillon::win32
