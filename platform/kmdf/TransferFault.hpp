// What the simulated bus does to one transfer instead of (or besides) moving
// its data, and the random mix of such faults for stress runs.
#pragma once

#include <cstdint>

#include "platform/kmdf/NtStatus.hpp"

namespace kmdf {

struct TransferFault {
    enum class Kind {
        None,    ///< move the data normally
        Short,   ///< move at most `shortLength` bytes (a short packet)
        Stall,   ///< the endpoint answers STALL and stays halted until reset
        Fail,    ///< complete with `failStatus`, nothing moved
        Cancel,  ///< complete as cancelled, nothing moved
        Delay,   ///< put the transfer back behind `delayRounds` other transfers
        Hold,    ///< park the transfer until released or cancelled
    };
    Kind kind = Kind::None;
    std::uint32_t shortLength = 0;
    NTSTATUS failStatus = STATUS_UNSUCCESSFUL;
    unsigned delayRounds = 1;

    static TransferFault Short(std::uint32_t bytes) { return {Kind::Short, bytes}; }
    static TransferFault Stall() { return {Kind::Stall}; }
    static TransferFault Fail(NTSTATUS status) { return {Kind::Fail, 0, status}; }
    static TransferFault Cancel() { return {Kind::Cancel}; }
    static TransferFault Delay(unsigned rounds) {
        return {Kind::Delay, 0, STATUS_UNSUCCESSFUL, rounds};
    }
    static TransferFault Hold() { return {Kind::Hold}; }
};

/// Chances per thousand transfers; the rest pass untouched. Seeded, so a run's
/// sequence of decisions is repeatable.
struct RandomFaultPlan {
    unsigned shortPerMille = 0;
    unsigned stallPerMille = 0;
    unsigned failPerMille = 0;
    unsigned cancelPerMille = 0;
    unsigned delayPerMille = 0;
    unsigned holdPerMille = 0;
    std::uint32_t seed = 1;
};

}  // namespace kmdf
