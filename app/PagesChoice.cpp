#include "app/PagesChoice.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/system/InputFile.hpp"
#include "protocol/SaveFile.hpp"

namespace quillon::app {
namespace {

constexpr const char* SHOWN = "shown";
constexpr const char* HIDDEN = "hidden";
// Room for either word and a line end; anything longer is not our file.
constexpr std::size_t CONF_MAX_BYTES = 64;

std::optional<bool> ReadChoice(const std::filesystem::path& file) {
    if (file.empty()) {
        return std::nullopt;
    }
    const auto read = sys::ReadInputFile(file, CONF_MAX_BYTES);
    if (read.longer) {
        return std::nullopt;
    }
    std::string line(read.bytes.begin(), read.bytes.end());
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line == SHOWN) {
        return true;
    }
    if (line == HIDDEN) {
        return false;
    }
    return std::nullopt;
}

protocol::SaveResult SaveChoice(const std::filesystem::path& file, bool shown) {
    const std::string text = std::string(shown ? SHOWN : HIDDEN) + "\n";
    return protocol::SaveFile(
        file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

PagesChoiceFiles PagesChoiceFilesFor(const std::filesystem::path& settingsDirectory) {
    const std::filesystem::path userConf = kelvix::UserAdapterConfPath();
    return {settingsDirectory / PAGES_CONF_NAME,
            userConf.empty() ? std::filesystem::path() : userConf.parent_path() / PAGES_CONF_NAME};
}

bool RememberedPagesShown(const PagesChoiceFiles& files) {
    if (const auto beside = ReadChoice(files.beside)) {
        return *beside;
    }
    return ReadChoice(files.user).value_or(false);
}

protocol::SaveResult SavePagesShown(bool shown, const PagesChoiceFiles& files) {
    const auto beside = SaveChoice(files.beside, shown);
    if (beside || files.user.empty()) {
        return beside;
    }
    std::error_code error;
    std::filesystem::create_directories(files.user.parent_path(), error);
    const auto user = SaveChoice(files.user, shown);
    if (user) {
        return user;
    }
    return protocol::SaveResult::Failure(files.user, beside.message + "; " + user.message);
}

}  // namespace quillon::app
