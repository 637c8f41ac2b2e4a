// The qcanbus backend inside the shared adapter library, where the build has it.
// Without a Qt application in the calling program its devices get a Qt thread
// of their own.
#include "platform/kelvix/qcanbus/QCanBusBackend.hpp"

namespace {

[[maybe_unused]] const bool REGISTERED = (kelvix::RegisterQCanBusBackend(), true);

}  // namespace
