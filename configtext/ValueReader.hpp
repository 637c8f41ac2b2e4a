// Reading the fields of a configuration text: each value checked against what
// its field can store, every problem reported with the field's path, reading
// going on after a problem so that one import names them all.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "configtext/ChoiceTokens.hpp"
#include "configtext/TextProblems.hpp"

namespace quillon::configtext {

using Json = nlohmann::ordered_json;

/// "can1" + "bitRate" -> "can1.bitRate"; "" + "can1" -> "can1".
std::string JoinPath(std::string_view path, std::string_view key);
/// "bridge.rules" + 3 -> "bridge.rules[3]".
std::string IndexPath(std::string_view path, std::size_t index);

/// An integer 0..max: a JSON number, or a string in hexadecimal ("0x1F") or decimal.
std::optional<std::uint64_t> ReadUnsigned(const Json& value, const std::string& path,
                                          std::uint64_t max, TextProblems& problems);
/// A signed 32-bit integer (a JSON number).
std::optional<std::int32_t> ReadInt32(const Json& value, const std::string& path,
                                      TextProblems& problems);
/// Bytes as hexadecimal pairs separated by blanks ("11 22 33"), or a list of
/// numbers 0..255; at most `maxCount` of them.
std::optional<std::vector<std::uint8_t>> ReadBytes(const Json& value, const std::string& path,
                                                   std::size_t maxCount, TextProblems& problems);
/// The code of a token or page text of `list`.
std::optional<std::size_t> ReadChoice(const Json& value, const std::string& path,
                                      const ChoiceList& list, TextProblems& problems);
/// A JSON string.
std::optional<std::string> ReadString(const Json& value, const std::string& path,
                                      TextProblems& problems);

/// "0x123": upper-case digits, at least `digits` of them.
std::string HexValue(std::uint32_t value, int digits = 1);
/// "11 22 33".
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

// The members of one object of the text. Fields are optional (absent leaves
// the record's value); whatever member nobody asked for is refused as an
// unknown key by RefuseUnknownKeys, so a misspelt key never vanishes.
class ObjectReader {
  public:
    ObjectReader(const Json& value, std::string path, TextProblems& problems);

    bool IsObject() const { return object_ != nullptr; }
    const std::string& Path() const { return path_; }
    std::string PathOf(std::string_view key) const { return JoinPath(path_, key); }
    TextProblems& Problems() { return problems_; }

    /// The member `key`, now known; nullptr when absent.
    const Json* Find(std::string_view key);
    void RefuseUnknownKeys();

    void Flag(std::string_view key, std::uint8_t& out, std::uint8_t onValue = 1);
    template <class T>
    void Unsigned(std::string_view key, T& out, std::uint64_t max) {
        if (const Json* value = Find(key)) {
            if (auto read = ReadUnsigned(*value, PathOf(key), max, problems_)) {
                out = static_cast<T>(*read);
            }
        }
    }
    template <class T>
    void Choice(std::string_view key, T& out, const ChoiceList& list) {
        if (const Json* value = Find(key)) {
            if (auto code = ReadChoice(*value, PathOf(key), list, problems_)) {
                out = static_cast<T>(*code);
            }
        }
    }

  private:
    const Json* object_ = nullptr;
    std::string path_;
    TextProblems& problems_;
    std::vector<std::string> known_;
};

/// The entries of a list member, each with its path; an over-long list is
/// refused as "N entries, the table holds M" and read no further than M.
/// Nothing (and no problem) when the member is absent.
struct ListEntries {
    std::vector<std::pair<const Json*, std::string>> entries;
    bool present = false;
};
ListEntries ReadList(ObjectReader& object, std::string_view key, std::size_t capacity,
                     std::string_view entryName);

}  // namespace quillon::configtext
