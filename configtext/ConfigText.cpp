#include "configtext/ConfigText.hpp"

#include <charconv>
#include <set>

#include "configtext/SectionText.hpp"
#include "protocol/BlockChecksum.hpp"

namespace quillon::configtext {
namespace {

using namespace protocol;

// Each record's named fields, chosen by its type.
Json NamedText(const CanPara& r, const sys::CodePage&) {
    return ChannelToText(r);
}
Json NamedText(const SysPara& r, const sys::CodePage&) {
    return SystemToText(r);
}
Json NamedText(const HardFilterPara& r, const sys::CodePage&) {
    return FiltersToText(r);
}
Json NamedText(const BridgePara& r, const sys::CodePage&) {
    return BridgeToText(r);
}
Json NamedText(const ReplayPara& r, const sys::CodePage& ansi) {
    return ReplayToText(r, ansi);
}
Json NamedText(const DtuBasicPara& r, const sys::CodePage&) {
    return DtuBasicToText(r);
}
Json NamedText(const DtuAdvPara& r, const sys::CodePage&) {
    return DtuAdvToText(r);
}

void ReadNamed(ObjectReader& t, CanPara& r, const sys::CodePage&) {
    ChannelFromText(t, r);
}
void ReadNamed(ObjectReader& t, SysPara& r, const sys::CodePage&) {
    SystemFromText(t, r);
}
void ReadNamed(ObjectReader& t, HardFilterPara& r, const sys::CodePage&) {
    FiltersFromText(t, r);
}
void ReadNamed(ObjectReader& t, BridgePara& r, const sys::CodePage&) {
    BridgeFromText(t, r);
}
void ReadNamed(ObjectReader& t, ReplayPara& r, const sys::CodePage& ansi) {
    ReplayFromText(t, r, ansi);
}
void ReadNamed(ObjectReader& t, DtuBasicPara& r, const sys::CodePage&) {
    DtuBasicFromText(t, r);
}
void ReadNamed(ObjectReader& t, DtuAdvPara& r, const sys::CodePage&) {
    DtuAdvFromText(t, r);
}

constexpr std::string_view RAW_KEY = "raw";

template <class Record>
Record WithChecksum(const Record& record) {
    auto bytes = record.ToBytes();
    bytes[0] = BlockChecksum(std::span(bytes).subspan(1));
    return Record::FromBytes(bytes);
}

// Lays {"offset": "hex bytes"} over `bytes`; offset 0, the checksum, is derived.
template <std::size_t N>
void ApplyRaw(const Json& raw, const std::string& path, std::array<std::uint8_t, N>& bytes,
              TextProblems& problems) {
    if (!raw.is_object()) {
        problems.Error(path, "expected an object of \"offset\": \"hex bytes\", got " +
                                 std::string(raw.type_name()));
        return;
    }
    for (const auto& [key, value] : raw.items()) {
        const std::string at = JoinPath(path, key);
        std::size_t offset = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), offset);
        if (error != std::errc() || end != key.data() + key.size() || offset == 0 || offset >= N) {
            problems.Error(
                at, "is not a byte offset of the section (1.." + std::to_string(N - 1) + ")");
            continue;
        }
        if (auto read = ReadBytes(value, at, N - offset, problems)) {
            std::copy(read->begin(), read->end(), bytes.begin() + static_cast<long>(offset));
        }
    }
}

// Reads one section: its named fields over a zero record, then its raw bytes.
template <class Record>
void ReadSection(ObjectReader& document, std::string_view key, Record& out,
                 const sys::CodePage& ansi) {
    TextProblems& problems = document.Problems();
    const Json* value = document.Find(key);
    if (value == nullptr) {
        problems.Error(std::string(key), "missing section; a document holds every section");
        return;
    }
    ObjectReader section(*value, std::string(key), problems);
    if (!section.IsObject()) {
        return;
    }
    Record named{};
    ReadNamed(section, named, ansi);
    auto bytes = named.ToBytes();
    if (const Json* raw = section.Find(RAW_KEY)) {
        ApplyRaw(*raw, section.PathOf(RAW_KEY), bytes, problems);
    }
    section.RefuseUnknownKeys();
    out = WithChecksum(Record::FromBytes(bytes));
}

// The runs of bytes where `actual` differs from what the names alone give.
template <std::size_t N>
Json RawDifferences(const std::array<std::uint8_t, N>& actual,
                    const std::array<std::uint8_t, N>& named) {
    Json raw = Json::object();
    std::size_t at = 1;
    while (at < N) {
        if (actual[at] == named[at]) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < N && actual[end] != named[end]) {
            ++end;
        }
        raw[std::to_string(at)] = HexBytes(actual.data() + at, end - at);
        at = end;
    }
    return raw;
}

template <class Record>
Json SectionText(const Record& record, const sys::CodePage& ansi) {
    Json text = NamedText(record, ansi);
    // What the names give, read back as an import reads them.
    TextProblems ignored;
    ObjectReader reader(text, "", ignored);
    Record named{};
    ReadNamed(reader, named, ansi);
    Json raw = RawDifferences(record.ToBytes(), named.ToBytes());
    if (!raw.empty()) {
        text[std::string(RAW_KEY)] = std::move(raw);
    }
    return text;
}

// Follows the parser through the document and notes every key an object
// gives twice, with its path.
class DuplicateKeys {
  public:
    void Take(Json::parse_event_t event, const Json& parsed) {
        using Event = Json::parse_event_t;
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                EnterValue();
                frames_.push_back({event == Event::array_start, 0, 0, {}, {}});
                break;
            case Event::object_end:
            case Event::array_end:
                if (!frames_.empty()) {
                    frames_.pop_back();
                }
                break;
            case Event::key:
                if (!frames_.empty() && parsed.is_string()) {
                    Frame& object = frames_.back();
                    object.key = parsed.get<std::string>();
                    if (!object.keys.insert(object.key).second) {
                        problems_.push_back({true, Path(), "given twice; a key is given once"});
                    }
                }
                break;
            case Event::value:
                EnterValue();
                break;
        }
    }
    const std::vector<TextProblem>& Problems() const { return problems_; }

  private:
    struct Frame {
        bool array = false;
        std::size_t next = 0;
        std::size_t index = 0;
        std::string key;
        std::set<std::string> keys;
    };

    // A value starts: in a list it takes the next index.
    void EnterValue() {
        if (!frames_.empty() && frames_.back().array) {
            frames_.back().index = frames_.back().next++;
        }
    }

    std::string Path() const {
        std::string path;
        for (const Frame& frame : frames_) {
            path = frame.array ? IndexPath(path, frame.index) : JoinPath(path, frame.key);
        }
        return path;
    }

    std::vector<Frame> frames_;
    std::vector<TextProblem> problems_;
};

void ReadHeader(ObjectReader& document) {
    TextProblems& problems = document.Problems();
    if (const Json* schema = document.Find("$schema"); schema != nullptr && !schema->is_string()) {
        problems.Error("$schema", "expected a text, got " + std::string(schema->type_name()));
    }
    const Json* format = document.Find("format");
    if (format == nullptr) {
        problems.Error("format", "missing; a configuration text says \"format\": \"" +
                                     std::string(FORMAT_NAME) + "\"");
    } else if (!format->is_string() || *format != FORMAT_NAME) {
        problems.Error("format", format->dump() + " is not \"" + std::string(FORMAT_NAME) + "\"");
    }
    const Json* version = document.Find("version");
    if (version == nullptr) {
        problems.Error("version",
                       "missing; this program reads version " + std::to_string(FORMAT_VERSION));
    } else if (!version->is_number_integer() || *version != FORMAT_VERSION) {
        problems.Error("version", version->dump() + " is not a version this program reads (" +
                                      std::to_string(FORMAT_VERSION) + ")");
    }
}

}  // namespace

Json ConfigToJson(const ConfigRecords& records, const sys::CodePage& ansi) {
    Json document = {
        {"$schema", SCHEMA_FILE_NAME}, {"format", FORMAT_NAME}, {"version", FORMAT_VERSION}};
    ForEachSection(records.sections, [&](SettingsSection section, const auto& record) {
        document[std::string(SectionKey(section))] = SectionText(record, ansi);
    });
    document[std::string(DTU_BASIC_KEY)] = SectionText(records.dtuBasic, ansi);
    document[std::string(DTU_ADV_KEY)] = SectionText(records.dtuAdv, ansi);
    return document;
}

std::string ExportConfigText(const ConfigRecords& records, const sys::CodePage& ansi) {
    return ConfigToJson(records, ansi).dump(2) + "\n";
}

ImportResult ImportConfigJson(const Json& document, const sys::CodePage& ansi) {
    TextProblems problems;
    ObjectReader root(document, "", problems);
    ConfigRecords records;
    if (root.IsObject()) {
        ReadHeader(root);
        ForEachSection(records.sections, [&](SettingsSection section, auto& record) {
            ReadSection(root, SectionKey(section), record, ansi);
        });
        ReadSection(root, DTU_BASIC_KEY, records.dtuBasic, ansi);
        ReadSection(root, DTU_ADV_KEY, records.dtuAdv, ansi);
        root.RefuseUnknownKeys();
    }
    ImportResult result;
    result.problems = problems.All();
    if (!problems.HasErrors()) {
        result.records = records;
    }
    return result;
}

ImportResult ImportConfigText(std::string_view text, const sys::CodePage& ansi) {
    Json document;
    DuplicateKeys duplicates;
    try {
        document = Json::parse(
            text,
            [&duplicates](int, Json::parse_event_t event, Json& parsed) {
                duplicates.Take(event, parsed);
                return true;
            },
            true, true);
    } catch (const Json::exception& error) {
        std::string what = error.what();
        // Drop the library's "[json.exception.parse_error.101] " tag.
        if (const auto tag = what.find("] ");
            what.starts_with("[json.") && tag != std::string::npos) {
            what.erase(0, tag + 2);
        }
        ImportResult result;
        result.problems.push_back({true, "", "not JSON: " + what});
        return result;
    }
    ImportResult result = ImportConfigJson(document, ansi);
    if (!duplicates.Problems().empty()) {
        // The parser kept the last of each; the first would have been lost without a word.
        result.problems.insert(result.problems.begin(), duplicates.Problems().begin(),
                               duplicates.Problems().end());
        result.records.reset();
    }
    return result;
}

}  // namespace quillon::configtext
