// Internal to the library: the adapters currently open, keyed by device type
// and index, and the helpers the C calls share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/kelvix/Adapter.hpp"

namespace kelvix {

/// Builds an adapter from a spec text for adapter `index` of `deviceType`;
/// null with `error` set on failure.
std::unique_ptr<Adapter> CreateAdapter(const std::string& specText, std::uint32_t deviceType,
                                       std::uint32_t index, std::string& error);
/// The trace file to use now ("" = none).
std::string CurrentTraceFile();
/// Closes every open adapter.
void CloseAllOpenAdapters();

}  // namespace kelvix
