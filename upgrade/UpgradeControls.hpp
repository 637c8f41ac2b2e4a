// Controls of the main window (template 102) that the upgrade commands use.
// The main window defines the same numbers; they are repeated here so that
// this layer does not depend on the application layer above it.
#pragma once

namespace quillon::upgrade {

inline constexpr int IDC_CONNECT = 1028;
inline constexpr int IDC_UPGRADE = 1177;
inline constexpr int IDC_ENTER_UPGRADE = 1221;
/// Progress bar, range 0..100 (never changed by the program).
inline constexpr int IDC_PROGRESS = 1219;
/// Phase of the upgrade.
inline constexpr int IDC_STATUS = 1220;
/// The upgrade mode in force.
inline constexpr int IDC_UPGRADE_MODE = 1222;

}  // namespace quillon::upgrade
