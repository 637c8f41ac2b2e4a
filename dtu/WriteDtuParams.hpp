// The DTU part of the parameter write: collect and save both DTU pages, then
// send their records as DTU parameter frames.
#pragma once

#include "dtu/DTUDlg.hpp"
#include "dtu/DTUHlDlg.hpp"
#include "platform/kelvix/FrameTransmitter.hpp"

namespace quillon::dtu {

/// Runs on the user-interface thread. Collects both pages, saves both files
/// (always), checks the records and sends every frame alone, pausing 1 ms
/// after frames 0, 3, 6, ... A failed check or a refused frame shows its
/// message on the basic page and stops. True when every frame was accepted.
bool WriteDtuParams(DTUDlg& basic, DTUHlDlg& advanced, kelvix::FrameTransmitter& link);

}  // namespace quillon::dtu
