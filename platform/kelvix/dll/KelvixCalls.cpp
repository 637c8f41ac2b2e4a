#include "platform/kelvix/dll/KelvixCalls.hpp"

#include "platform/system/Utf8Path.hpp"

namespace kelvix {
namespace {

// Looks up `name` into `slot`; records the name in `missing` when absent.
template <typename Function>
void Find(const quillon::sys::SharedLibrary& library, const char* name, Function& slot,
          std::string& missing) {
    slot = reinterpret_cast<Function>(library.Symbol(name));
    if (slot == nullptr) {
        missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
}

}  // namespace

std::optional<KelvixCalls> FindKelvixCalls(std::shared_ptr<quillon::sys::SharedLibrary> library,
                                           std::string& error) {
    KelvixCalls calls;
    std::string missing;
    Find(*library, "VCI_OpenDevice", calls.openDevice, missing);
    Find(*library, "VCI_CloseDevice", calls.closeDevice, missing);
    Find(*library, "VCI_InitCAN", calls.initCan, missing);
    Find(*library, "VCI_StartCAN", calls.startCan, missing);
    Find(*library, "VCI_Transmit", calls.transmit, missing);
    Find(*library, "VCI_Receive", calls.receive, missing);
    Find(*library, "VCI_ReadErrInfo", calls.readErrInfo, missing);
    Find(*library, "VCI_SetReference", calls.setReference, missing);
    if (!missing.empty()) {
        error = quillon::sys::PathToUtf8(library->Path()) +
                " is not an adapter library: it lacks " + missing;
        return std::nullopt;
    }
    calls.library = std::move(library);
    return calls;
}

}  // namespace kelvix
