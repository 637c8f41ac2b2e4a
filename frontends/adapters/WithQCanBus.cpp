// Built in when the Qt SerialBus backend is part of the build.
#include "frontends/adapters/BuildBackends.hpp"
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"

namespace {

bool Add() {
    using namespace quillon::adapters;
    OptionalBackends().push_back(
        {"qcanbus", kelvix::RegisterQCanBusBackend, kelvix::ListQCanBusInterfaces});
    // Qt SerialBus devices need an event loop: the main thread runs it, the program another.
    SetProgramRunner(kelvix::RunWithQtEventLoop);
    return true;
}

[[maybe_unused]] const bool ADDED = Add();

}  // namespace
