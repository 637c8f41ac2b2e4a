#include "behaviour/ModelReport.hpp"

#include "behaviour/ModelChoices.hpp"

namespace quillon::behaviour {

std::string_view DropReasonText(DropReason reason) {
    switch (reason) {
        case DropReason::ChannelOff:
            return "channel off";
        case DropReason::ListenOnly:
            return "listen-only";
        case DropReason::IdentifierTooWide:
            return "identifier too wide for its format";
    }
    return "unknown";
}

void SwitchLog::Add(const SwitchEvent& event) {
    if (kept.size() < MAX_KEPT_SWITCHES) {
        kept.push_back(event);
    } else {
        ++notKept;
    }
}

}  // namespace quillon::behaviour
