// Built in when the Qt SerialBus backend is part of the build.
#include "frontends/adapters/BuildBackends.hpp"
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"

namespace {

bool Add() {
    using namespace quillon::adapters;
    BuildBackendSet().Add(
        {"qcanbus", kelvix::RegisterQCanBusBackend, kelvix::ListQCanBusInterfaces});
    // Qt SerialBus devices need an event loop: the main thread runs it, the program another.
    // The shared adapter library runs no program: without a Qt application in the
    // program that loaded it, its devices get a Qt thread of their own.
    SetProgramRunner(kelvix::RunWithQtEventLoop);
    return true;
}

[[maybe_unused]] const bool ADDED = Add();

}  // namespace
