// The replay section as text: each file by its name, in UTF-8 here and in the
// program's ANSI code page in the record.
#include <algorithm>

#include "configtext/SectionText.hpp"
#include "pages/PageTexts.hpp"

namespace quillon::configtext {
namespace {

using protocol::ReplayPara;
using protocol::ReplayRule;

// The stored name as UTF-8. A name the code page does not give back as stored
// (bytes it cannot decode) shows empty; the document keeps its bytes raw.
std::string NameText(const ReplayRule& rule, const sys::CodePage& ansi) {
    const auto* bytes = reinterpret_cast<const char*>(rule.fileName.data());
    const auto end = std::find(rule.fileName.begin(),
                               rule.fileName.begin() + ReplayRule::MAX_FILE_NAME_BYTES, 0);
    const std::string_view stored(bytes, static_cast<std::size_t>(end - rule.fileName.begin()));
    std::string text = ansi.ToUtf8(stored);
    return ansi.FromUtf8(text) == stored ? text : std::string();
}

void NameFromText(ObjectReader& text, ReplayRule& rule, const sys::CodePage& ansi) {
    const Json* value = text.Find("name");
    if (value == nullptr) {
        return;
    }
    const auto name = ReadString(*value, text.PathOf("name"), text.Problems());
    if (!name) {
        return;
    }
    const std::string bytes = ansi.FromUtf8(*name);
    if (ansi.ToUtf8(bytes) != *name || bytes.find('\0') != std::string::npos) {
        text.Problems().Error(text.PathOf("name"), value->dump() + " has characters the " +
                                                       ansi.Charset() + " code page cannot store");
        return;
    }
    if (bytes.size() > ReplayRule::MAX_FILE_NAME_BYTES) {
        text.Problems().Error(text.PathOf("name"), value->dump() + " takes " +
                                                       std::to_string(bytes.size()) + " bytes in " +
                                                       ansi.Charset() + ", a name holds 16");
        return;
    }
    std::copy(bytes.begin(), bytes.end(), rule.fileName.begin());
}

Json RuleToText(const ReplayRule& rule, const sys::CodePage& ansi) {
    return {{"name", NameText(rule, ansi)},
            {"channel1", (rule.channelMask & pages::REPLAY_CHANNEL1) != 0},
            {"channel2", (rule.channelMask & pages::REPLAY_CHANNEL2) != 0},
            {"times", rule.times},
            {"intervalSec", rule.intervalSec}};
}

void RuleFromText(ObjectReader& text, ReplayRule& rule, const sys::CodePage& ansi) {
    NameFromText(text, rule, ansi);
    std::uint8_t channel1 = 0;
    std::uint8_t channel2 = 0;
    text.Flag("channel1", channel1, pages::REPLAY_CHANNEL1);
    text.Flag("channel2", channel2, pages::REPLAY_CHANNEL2);
    rule.channelMask = channel1 | channel2;
    text.Unsigned("times", rule.times, UINT16_MAX);
    text.Unsigned("intervalSec", rule.intervalSec, UINT32_MAX);
    text.RefuseUnknownKeys();
}

}  // namespace

Json ReplayToText(const ReplayPara& replay, const sys::CodePage& ansi) {
    Json files = Json::array();
    const std::size_t used = std::min<std::size_t>(replay.ruleCount, replay.rules.size());
    for (std::size_t i = 0; i < used; ++i) {
        files.push_back(RuleToText(replay.rules[i], ansi));
    }
    return {{"sendMode", TokenOf(SEND_MODES, replay.sendMode)},
            {"repeatAll", replay.repeatAll},
            {"files", std::move(files)}};
}

void ReplayFromText(ObjectReader& text, ReplayPara& replay, const sys::CodePage& ansi) {
    text.Choice("sendMode", replay.sendMode, SEND_MODES);
    text.Unsigned("repeatAll", replay.repeatAll, UINT16_MAX);
    const ListEntries files = ReadList(text, "files", replay.rules.size(), "replay files");
    replay.ruleCount = static_cast<std::uint8_t>(files.entries.size());
    for (std::size_t i = 0; i < files.entries.size(); ++i) {
        ObjectReader file(*files.entries[i].first, files.entries[i].second, text.Problems());
        if (file.IsObject()) {
            RuleFromText(file, replay.rules[i], ansi);
        }
    }
}

}  // namespace quillon::configtext
