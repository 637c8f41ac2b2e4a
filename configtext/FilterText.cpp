// The acceptance-filter sections as text: a filter as the bit pattern the
// advanced page shows, or as value and mask where the pattern cannot say it.
#include <algorithm>

#include "configtext/SectionText.hpp"
#include "pages/BitPattern.hpp"

namespace quillon::configtext {
namespace {

using protocol::HardFilterPara;

int WidthOf(std::uint8_t format) {
    return format == 0 ? 11 : 29;
}

std::uint32_t WidthMask(int width) {
    return (std::uint32_t{1} << width) - 1;
}

// Whether the page's pattern says all of value and mask: no bit outside the
// identifier, and no value bit where the mask ignores it (an "X" shows no value).
bool PatternSaysAll(std::uint8_t format, std::uint32_t value, std::uint32_t mask) {
    const std::uint32_t outside = ~WidthMask(WidthOf(format));
    return (value & outside) == 0 && (mask & outside) == 0 && (value & ~mask) == 0;
}

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// "X X 1 0 ...", highest bit first, one character per bit.
void PatternFromText(const Json& value, const std::string& path, int width, std::uint32_t& match,
                     std::uint32_t& mask, TextProblems& problems) {
    if (!value.is_string()) {
        problems.Error(path, "expected a bit pattern (\"X X 1 0 ...\"), got " +
                                 std::string(value.type_name()));
        return;
    }
    std::uint32_t bitsValue = 0;
    std::uint32_t bitsMask = 0;
    int bits = 0;
    for (char c : value.get_ref<const std::string&>()) {
        if (c == ' ') {
            continue;
        }
        if (c != '0' && c != '1' && c != 'X' && c != 'x') {
            problems.Error(path, std::string("'") + c + "' is not a bit (1, 0 or X)");
            return;
        }
        ++bits;
        bitsValue = (bitsValue << 1) | (c == '1' ? 1u : 0u);
        bitsMask = (bitsMask << 1) | (c == 'X' || c == 'x' ? 0u : 1u);
        if (bits > width) {
            break;
        }
    }
    if (bits != width) {
        problems.Error(path, "a " + std::to_string(width) + "-bit pattern needs " +
                                 std::to_string(width) + " bits, not " +
                                 (bits > width ? "more" : std::to_string(bits)));
        return;
    }
    match = bitsValue;
    mask = bitsMask;
}

}  // namespace

Json FiltersToText(const HardFilterPara& filters) {
    Json list = Json::array();
    const std::size_t used = std::min<std::size_t>(filters.filterCount, filters.frameFormat.size());
    for (std::size_t i = 0; i < used; ++i) {
        const std::uint8_t format = filters.frameFormat[i];
        Json filter = {{"frameFormat", TokenOf(FRAME_FORMATS, format == 0 ? 0 : 1)}};
        if (PatternSaysAll(format, filters.matchValue[i], filters.matchMask[i])) {
            filter["pattern"] = TrimRight(
                pages::FormatBitPattern(format, filters.matchValue[i], filters.matchMask[i]));
        } else {
            filter["value"] = HexValue(filters.matchValue[i], 8);
            filter["mask"] = HexValue(filters.matchMask[i], 8);
        }
        list.push_back(std::move(filter));
    }
    return {{"enabled", filters.enable != 0}, {"filters", std::move(list)}};
}

void FiltersFromText(ObjectReader& text, HardFilterPara& filters) {
    text.Flag("enabled", filters.enable);
    const ListEntries list =
        ReadList(text, "filters", filters.frameFormat.size(), "acceptance filters");
    filters.filterCount = static_cast<std::uint8_t>(list.entries.size());
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        ObjectReader filter(*list.entries[i].first, list.entries[i].second, text.Problems());
        if (!filter.IsObject()) {
            continue;
        }
        filter.Choice("frameFormat", filters.frameFormat[i], FRAME_FORMATS);
        const Json* pattern = filter.Find("pattern");
        const bool hasValue = filter.Find("value") != nullptr;
        const bool hasMask = filter.Find("mask") != nullptr;
        const bool valueOrMask = hasValue || hasMask;
        if (pattern != nullptr && valueOrMask) {
            text.Problems().Error(filter.Path(), "give a pattern or value and mask, not both");
        } else if (pattern != nullptr) {
            PatternFromText(*pattern, filter.PathOf("pattern"), WidthOf(filters.frameFormat[i]),
                            filters.matchValue[i], filters.matchMask[i], text.Problems());
        } else {
            filter.Unsigned("value", filters.matchValue[i], UINT32_MAX);
            filter.Unsigned("mask", filters.matchMask[i], UINT32_MAX);
        }
        filter.RefuseUnknownKeys();
    }
}

}  // namespace quillon::configtext
