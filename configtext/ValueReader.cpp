#include "configtext/ValueReader.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace quillon::configtext {
namespace {

std::string TypeName(const Json& value) {
    return std::string(value.type_name());
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::optional<std::uint64_t> ParseDigits(std::string_view text, int base) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> ParseNumberText(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16);
    }
    return ParseDigits(text, 10);
}

}  // namespace

std::string JoinPath(std::string_view path, std::string_view key) {
    return path.empty() ? std::string(key) : std::string(path) + "." + std::string(key);
}

std::string IndexPath(std::string_view path, std::size_t index) {
    return std::string(path) + "[" + std::to_string(index) + "]";
}

std::optional<std::uint64_t> ReadUnsigned(const Json& value, const std::string& path,
                                          std::uint64_t max, TextProblems& problems) {
    const std::string range = " is out of range (0.." + std::to_string(max) + ")";
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > max) {
            problems.Error(path, value.dump() + range);
            return std::nullopt;
        }
        return number;
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number < 0 || static_cast<std::uint64_t>(number) > max) {
            problems.Error(path, value.dump() + range);
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(number);
    }
    if (value.is_number_float()) {
        problems.Error(path, value.dump() + " is not a whole number");
        return std::nullopt;
    }
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        const auto number = ParseNumberText(text);
        if (!number) {
            problems.Error(path, value.dump() + " is not a number (\"0x1F\" or \"31\")");
            return std::nullopt;
        }
        if (*number > max) {
            problems.Error(path, value.dump() + range);
            return std::nullopt;
        }
        return number;
    }
    problems.Error(path, "expected a number, got " + TypeName(value));
    return std::nullopt;
}

std::optional<std::int32_t> ReadInt32(const Json& value, const std::string& path,
                                      TextProblems& problems) {
    const std::string range = " is out of range (-2147483648..2147483647)";
    if (value.is_number_unsigned()) {
        if (value.get<std::uint64_t>() > 2147483647u) {
            problems.Error(path, value.dump() + range);
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value.get<std::uint64_t>());
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number < -2147483648LL || number > 2147483647LL) {
            problems.Error(path, value.dump() + range);
            return std::nullopt;
        }
        return static_cast<std::int32_t>(number);
    }
    if (value.is_number_float()) {
        problems.Error(path, value.dump() + " is not a whole number");
        return std::nullopt;
    }
    problems.Error(path, "expected a number, got " + TypeName(value));
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const Json& value, const std::string& path,
                                                   std::size_t maxCount, TextProblems& problems) {
    std::vector<std::uint8_t> bytes;
    if (value.is_array()) {
        bool ok = true;
        for (std::size_t i = 0; i < value.size() && i <= maxCount; ++i) {
            const auto byte = ReadUnsigned(value[i], IndexPath(path, i), 0xFF, problems);
            ok = ok && byte.has_value();
            bytes.push_back(byte.value_or(0));
        }
        if (value.size() > maxCount) {
            problems.Error(path, std::to_string(value.size()) + " bytes, the field holds " +
                                     std::to_string(maxCount));
            return std::nullopt;
        }
        return ok ? std::optional(bytes) : std::nullopt;
    }
    if (!value.is_string()) {
        problems.Error(path, "expected hexadecimal bytes (\"11 22 33\"), got " + TypeName(value));
        return std::nullopt;
    }
    const auto& text = value.get_ref<const std::string&>();
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsBlank(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !IsBlank(text[end])) {
            ++end;
        }
        const std::string_view pair(text.data() + at, end - at);
        const auto byte = pair.size() <= 2 ? ParseDigits(pair, 16) : std::nullopt;
        if (!byte) {
            problems.Error(path, "\"" + std::string(pair) +
                                     "\" is not a byte in hexadecimal (\"00\" to \"FF\")");
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        at = end;
    }
    if (bytes.size() > maxCount) {
        problems.Error(path, std::to_string(bytes.size()) + " bytes, the field holds " +
                                 std::to_string(maxCount));
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::size_t> ReadChoice(const Json& value, const std::string& path,
                                      const ChoiceList& list, TextProblems& problems) {
    if (!value.is_string()) {
        problems.Error(path, "expected " + std::string(list.what) + " (" + TokenListText(list) +
                                 "), got " + TypeName(value));
        return std::nullopt;
    }
    const auto code = FindChoice(list, value.get_ref<const std::string&>());
    if (!code) {
        problems.Error(path, value.dump() + " is not " + std::string(list.what) + " (" +
                                 TokenListText(list) + ")");
    }
    return code;
}

std::optional<std::string> ReadString(const Json& value, const std::string& path,
                                      TextProblems& problems) {
    if (!value.is_string()) {
        problems.Error(path, "expected a text, got " + TypeName(value));
        return std::nullopt;
    }
    return value.get<std::string>();
}

std::string HexValue(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(bytes[i]));
        text += (i == 0 ? "" : " ") + std::string(pair);
    }
    return text;
}

ObjectReader::ObjectReader(const Json& value, std::string path, TextProblems& problems)
    : path_(std::move(path)), problems_(problems) {
    if (value.is_object()) {
        object_ = &value;
    } else {
        problems_.Error(path_, "expected an object, got " + TypeName(value));
    }
}

const Json* ObjectReader::Find(std::string_view key) {
    known_.emplace_back(key);
    if (object_ == nullptr) {
        return nullptr;
    }
    const auto found = object_->find(std::string(key));
    return found == object_->end() ? nullptr : &*found;
}

void ObjectReader::RefuseUnknownKeys() {
    if (object_ == nullptr) {
        return;
    }
    for (const auto& [key, value] : object_->items()) {
        if (std::find(known_.begin(), known_.end(), key) == known_.end()) {
            problems_.Error(PathOf(key), "unknown key");
        }
    }
}

void ObjectReader::Flag(std::string_view key, std::uint8_t& out, std::uint8_t onValue) {
    const Json* value = Find(key);
    if (value == nullptr) {
        return;
    }
    if (!value->is_boolean()) {
        problems_.Error(PathOf(key), "expected true or false, got " + TypeName(*value));
        return;
    }
    out = value->get<bool>() ? onValue : 0;
}

ListEntries ReadList(ObjectReader& object, std::string_view key, std::size_t capacity,
                     std::string_view entryName) {
    ListEntries list;
    const Json* value = object.Find(key);
    if (value == nullptr) {
        return list;
    }
    list.present = true;
    const std::string path = object.PathOf(key);
    if (!value->is_array()) {
        object.Problems().Error(path, "expected a list, got " + TypeName(*value));
        return list;
    }
    if (value->size() > capacity) {
        object.Problems().Error(path, std::to_string(value->size()) + " " + std::string(entryName) +
                                          ", the table holds " + std::to_string(capacity));
    }
    for (std::size_t i = 0; i < std::min(value->size(), capacity); ++i) {
        list.entries.emplace_back(&(*value)[i], IndexPath(path, i));
    }
    return list;
}

}  // namespace quillon::configtext
