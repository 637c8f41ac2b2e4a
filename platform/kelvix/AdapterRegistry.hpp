// Backends known to the adapter library, and how one is chosen.
//
// The backend comes from configuration, never from recompiling: an explicit
// override (the command line's --adapter), then the KELVIX_ADAPTER environment
// variable, then the first line of "kelvix.conf" beside the program, then that
// of the user's "kelvix.conf" (UserAdapterConfPath), then "sim".
// A spec is "name" or "name:options", e.g. "sim:type=2,fw=11" or
// "socketcan:can0,can1".
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kelvix/Adapter.hpp"
#include "platform/system/Environment.hpp"

namespace kelvix {

struct AdapterSpec {
    std::string backend;
    std::string options;
    /// The device type VCI_OpenDevice was called with, for backends that pass
    /// calls on to another adapter library.
    std::uint32_t deviceType = KELVIX_DEVICE_TYPE;

    /// Splits "name:options" at the first colon.
    static AdapterSpec Parse(std::string_view text);
};

/// Creates an adapter for `spec` at adapter `index`; returns null with `error`
/// set when the options cannot be used.
using AdapterFactory = std::function<std::unique_ptr<Adapter>(
    const AdapterSpec& spec, std::uint32_t index, std::string& error)>;

/// Registers (or replaces) a backend by name. Thread-safe.
void RegisterBackend(const std::string& name, AdapterFactory factory);
/// Names of the registered backends, sorted.
std::vector<std::string> RegisteredBackends();

/// Sets the adapter spec that wins over the environment; an empty text removes it.
void SetAdapterSpecOverride(std::string spec);
/// The adapter spec VCI_OpenDevice will use now.
std::string CurrentAdapterSpec();

inline constexpr const char* ADAPTER_CONF_NAME = "kelvix.conf";
/// The user's own kelvix.conf, in the user's configuration directory
/// (sys::UserConfigDirectory: $XDG_CONFIG_HOME/quillon, else $HOME/.config/quillon;
/// %APPDATA%\Quillon on Windows); empty when the environment names none.
std::filesystem::path UserAdapterConfPath();

/// Where "kelvix.conf" is looked for; empty = the running program's directory.
/// The adapter library built as a shared library points it at its own directory.
void SetConfigDirectory(std::filesystem::path directory);

/// Where KELVIX_ADAPTER, KELVIX_TRACE, XDG_CONFIG_HOME, HOME and APPDATA are read;
/// the process environment unless a test passes its own. Empty: the process's.
void SetEnvironment(quillon::sys::EnvironmentLookup environment);

/// Sets the trace file that wins over KELVIX_TRACE; an empty text removes it.
void SetTraceFileOverride(std::string path);

/// `text` safe to print on a terminal: control characters (C0, DEL and the
/// UTF-8 encoded C1 range) become \xNN escapes; everything else, UTF-8 and
/// backslashes included, is kept, so a Windows path reads as it was typed.
std::string EscapeControlCharacters(std::string_view text);

/// Why the last VCI_OpenDevice failed, for diagnostics (the C call only says 0).
std::string LastOpenError();

/// Closes every open adapter and drops overrides (an injected environment
/// too); for tests and program exit.
void CloseAllAdapters();

}  // namespace kelvix
