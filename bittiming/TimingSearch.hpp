// Which register pairs give a wanted bit rate on the device's controller, best
// first, and what a pair the page shows gives. Pure functions over numbers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bittiming/BusTiming.hpp"

namespace quillon::bittiming {

/// A rate error above this refuses the rate: frames would fail on a real bus.
inline constexpr double MAX_ERROR_PERCENT = 0.5;

/// One pair for a wanted rate.
struct TimingChoice {
    BusTiming timing;
    protocol::BtrEntry registers;
    double errorPercent = 0;  ///< (rate given − rate wanted) / rate wanted × 100
};

struct TimingSearch {
    double wantedBps = 0;
    double targetSamplePoint = 0;  ///< fraction of the bit
    /// Every usable prescaler and quanta count within MAX_ERROR_PERCENT, each with
    /// the segment split sampling nearest the target; the recommended first.
    /// Empty when the rate is out of reach.
    std::vector<TimingChoice> choices;
    /// The baud-rate list's own pair for this rate when it is not the recommended one.
    std::optional<TimingChoice> pagePair;
    /// When `choices` is empty: the nearest rates reachable below and above (either
    /// may be missing), each with its best pair.
    std::vector<TimingChoice> nearest;
};

/// The usual sample point for a rate: 87.5 % up to 500 kbit/s, 80 % up to
/// 800 kbit/s, 75 % above.
double RecommendedSamplePoint(double bitRateBps);

/// `samplePoint` (a fraction) replaces the recommended one as the target.
TimingSearch SearchTimings(double wantedBps, std::optional<double> samplePoint = std::nullopt);

/// The label of the baud-rate list row whose `BTR_TABLE` pair equals `registers`
/// ("500kbps"), if any.
std::optional<std::string> PageRateLabel(protocol::BtrEntry registers);

}  // namespace quillon::bittiming
