// One line of adapter discovery: an interface a backend can reach, or the
// reason the backend can reach nothing here.
#pragma once

#include <string>

namespace kelvix {

struct InterfaceListing {
    std::string backend;  ///< backend name, e.g. "socketcan"
    std::string spec;     ///< adapter spec that opens it, e.g. "socketcan:can0"; "" when unusable
    std::string description;  ///< what the interface is, for people
    /// "" when it was tried and opens; otherwise why it does not, or, when
    /// `untested`, why it was not tried.
    std::string unavailableReason;
    /// Not tried: `spec` (when there is one) may still open it.
    bool untested = false;

    bool Available() const { return unavailableReason.empty() && !untested; }
};

}  // namespace kelvix
