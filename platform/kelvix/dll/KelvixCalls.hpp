// The eight calls of an adapter library found in a loaded shared library.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/kelvix/Kelvix.h"
#include "platform/system/SharedLibrary.hpp"

namespace kelvix {

struct KelvixCalls {
    decltype(&VCI_OpenDevice) openDevice = nullptr;
    decltype(&VCI_CloseDevice) closeDevice = nullptr;
    decltype(&VCI_InitCAN) initCan = nullptr;
    decltype(&VCI_StartCAN) startCan = nullptr;
    decltype(&VCI_Transmit) transmit = nullptr;
    decltype(&VCI_Receive) receive = nullptr;
    decltype(&VCI_ReadErrInfo) readErrInfo = nullptr;
    decltype(&VCI_SetReference) setReference = nullptr;
    /// Keeps the library's code loaded while the calls are in use.
    std::shared_ptr<quillon::sys::SharedLibrary> library;
};

/// Finds all eight calls in `library`. When any is missing, returns nothing and
/// sets `error` to the library's path and the name of every missing call.
std::optional<KelvixCalls> FindKelvixCalls(std::shared_ptr<quillon::sys::SharedLibrary> library,
                                           std::string& error);

}  // namespace kelvix
