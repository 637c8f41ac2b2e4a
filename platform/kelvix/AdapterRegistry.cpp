#include "platform/kelvix/AdapterRegistry.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

#include "platform/kelvix/AdapterTable.hpp"
#include "platform/kelvix/PlatformBackends.hpp"
#include "platform/kelvix/SimAdapter.hpp"
#include "platform/kelvix/dll/DllAdapter.hpp"
#include "platform/system/InputFile.hpp"
#include "platform/system/ProgramDirectory.hpp"
#include "platform/system/SettingsHome.hpp"
#include "platform/system/Utf8Path.hpp"

namespace kelvix {
namespace {

struct Registry {
    Registry() {
        factories["sim"] = [](const AdapterSpec& spec, std::uint32_t, std::string& error) {
            return SimAdapter::FromOptions(spec.options, error);
        };
        factories["dll"] = CreateDllAdapter;
        AddPlatformBackends(factories);
    }
    std::mutex mutex;
    std::map<std::string, AdapterFactory> factories;
    std::string specOverride;
    std::string traceOverride;
    std::filesystem::path configDirectory;
    quillon::sys::EnvironmentLookup environment = quillon::sys::ProcessEnvironment;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// A variable of the injected environment; unset and empty are the same here.
std::string Variable(const char* name) {
    quillon::sys::EnvironmentLookup environment;
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        environment = registry.environment;
    }
    return environment(name).value_or(std::string());
}

// kelvix.conf holds one short line; a FIFO or a device in its place is not read.
constexpr std::size_t CONF_MAX_BYTES = 4096;

std::string FirstLineOf(const std::filesystem::path& file) {
    const auto read = quillon::sys::ReadInputFile(file, CONF_MAX_BYTES);
    std::string line(read.bytes.begin(), read.bytes.end());
    line = line.substr(0, line.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    out += "\\x";
    out += DIGITS[byte >> 4];
    out += DIGITS[byte & 0x0F];
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, byte);
        } else if (c1) {
            AppendEscaped(out, byte);
            AppendEscaped(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += text[i];
        }
    }
    return out;
}

AdapterSpec AdapterSpec::Parse(std::string_view text) {
    AdapterSpec spec;
    const auto colon = text.find(':');
    spec.backend = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) {
        spec.options = std::string(text.substr(colon + 1));
    }
    return spec;
}

void RegisterBackend(const std::string& name, AdapterFactory factory) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.factories[name] = std::move(factory);
}

std::vector<std::string> RegisteredBackends() {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<std::string> names;
    for (const auto& [name, factory] : registry.factories) {
        names.push_back(name);
    }
    return names;
}

void SetAdapterSpecOverride(std::string spec) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.specOverride = std::move(spec);
}

void SetConfigDirectory(std::filesystem::path directory) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.configDirectory = std::move(directory);
}

void SetEnvironment(quillon::sys::EnvironmentLookup environment) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.environment = environment
                               ? std::move(environment)
                               : quillon::sys::EnvironmentLookup(quillon::sys::ProcessEnvironment);
}

std::string CurrentAdapterSpec() {
    std::filesystem::path configDirectory;
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        if (!registry.specOverride.empty()) {
            return registry.specOverride;
        }
        configDirectory = registry.configDirectory;
    }
    if (std::string fromEnvironment = Variable("KELVIX_ADAPTER"); !fromEnvironment.empty()) {
        return fromEnvironment;
    }
    if (configDirectory.empty()) {
        configDirectory = quillon::sys::ExecutableDirectory();
    }
    std::string fromFile = FirstLineOf(configDirectory / ADAPTER_CONF_NAME);
    if (fromFile.empty()) {
        fromFile = FirstLineOf(UserAdapterConfPath());
    }
    return fromFile.empty() ? std::string("sim") : fromFile;
}

std::filesystem::path UserAdapterConfPath() {
    const auto directory = quillon::sys::UserConfigDirectory([](const char* name) {
        const std::string value = Variable(name);
        return value.empty() ? std::nullopt : std::optional<std::string>(value);
    });
    return directory.empty() ? directory : directory / ADAPTER_CONF_NAME;
}

void SetTraceFileOverride(std::string path) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.traceOverride = std::move(path);
}

std::string CurrentTraceFile() {
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        if (!registry.traceOverride.empty()) {
            return registry.traceOverride;
        }
    }
    return Variable("KELVIX_TRACE");
}

std::unique_ptr<Adapter> CreateAdapter(const std::string& specText, std::uint32_t deviceType,
                                       std::uint32_t index, std::string& error) {
    AdapterSpec spec = AdapterSpec::Parse(specText);
    spec.deviceType = deviceType;
    AdapterFactory factory;
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        auto found = registry.factories.find(spec.backend);
        if (found == registry.factories.end()) {
            error = "unknown adapter backend \"" + spec.backend + "\" in \"" + specText + "\"";
            return nullptr;
        }
        factory = found->second;
    }
    auto adapter = factory(spec, index, error);
    if (!adapter && error.empty()) {
        error = "backend \"" + spec.backend + "\" refused options \"" + spec.options + "\"";
    }
    return adapter;
}

void CloseAllAdapters() {
    CloseAllOpenAdapters();
    SetAdapterSpecOverride({});
    SetTraceFileOverride({});
    SetEnvironment({});
}

}  // namespace kelvix
