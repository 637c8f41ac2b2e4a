// Mapping between the library's frame record and Qt SerialBus frames.
#pragma once

#include <QCanBusFrame>
#include <optional>
#include <string>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

/// The Qt frame for `record`, or nothing with `error` set when the record
/// cannot go on the bus unchanged (identifier wider than its format, length over 8).
std::optional<QCanBusFrame> ToQCanBusFrame(const CanFrameRecord& record, std::string& error);

/// The record for a received data or remote frame with up to 8 bytes; nothing
/// with `error` set for error frames and for payloads the record cannot hold.
/// TimeStamp and TimeFlag are left for the caller.
std::optional<CanFrameRecord> FromQCanBusFrame(const QCanBusFrame& frame, std::string& error);

}  // namespace kelvix
