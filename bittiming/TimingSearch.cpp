#include "bittiming/TimingSearch.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace quillon::bittiming {
namespace {

// Fewer quanta leave too coarse a choice of sample point.
constexpr int MIN_QUANTA = 8;
constexpr int MAX_QUANTA = 1 + MAX_TSEG1 + MAX_TSEG2;
// The bit after the sample point needs two quanta to be processed.
constexpr int MIN_TSEG2 = 2;
// Sample points this close count as equal (they are ratios of small integers).
constexpr double SAME_POINT = 1e-9;

struct PageRate {
    double bps;
    const char* label;
};
// The baud-rate list's rows, in BTR_TABLE order.
constexpr std::array<PageRate, 7> PAGE_RATES{{{1'000'000, "1000kbps"},
                                              {500'000, "500kbps"},
                                              {250'000, "250kbps"},
                                              {125'000, "125kbps"},
                                              {100'000, "100kbps"},
                                              {50'000, "50kbps"},
                                              {20'000, "20kbps"}}};
static_assert(PAGE_RATES.size() == protocol::BTR_TABLE.size());

TimingChoice Choice(const BusTiming& timing, double wantedBps) {
    return {timing, EncodeBtr(timing), (timing.BitRate() - wantedBps) / wantedBps * 100};
}

// The split of `quanta` sampling nearest `target`; at equal distance the later one.
BusTiming BestSplit(int prescaler, int quanta, double target) {
    std::optional<BusTiming> best;
    for (int tseg2 = MIN_TSEG2; tseg2 <= MAX_TSEG2; ++tseg2) {
        const BusTiming timing{prescaler, quanta - 1 - tseg2, tseg2, 1, false};
        if (timing.tseg1 < 1 || timing.tseg1 > MAX_TSEG1) {
            continue;
        }
        if (!best || std::abs(timing.SamplePoint() - target) <
                         std::abs(best->SamplePoint() - target) - SAME_POINT) {
            best = timing;
        }
    }
    return *best;  // every count in MIN_QUANTA..MAX_QUANTA has a split
}

// Smallest rate error, then the sample point nearest the target, then the later
// sample point, then more quanta (a finer resynchronisation).
bool Better(const TimingChoice& a, const TimingChoice& b, double target) {
    const double errorA = std::abs(a.errorPercent);
    const double errorB = std::abs(b.errorPercent);
    if (std::abs(errorA - errorB) > SAME_POINT) {
        return errorA < errorB;
    }
    const double distanceA = std::abs(a.timing.SamplePoint() - target);
    const double distanceB = std::abs(b.timing.SamplePoint() - target);
    if (std::abs(distanceA - distanceB) > SAME_POINT) {
        return distanceA < distanceB;
    }
    if (std::abs(a.timing.SamplePoint() - b.timing.SamplePoint()) > SAME_POINT) {
        return a.timing.SamplePoint() > b.timing.SamplePoint();
    }
    return a.timing.Quanta() > b.timing.Quanta();
}

// Every prescaler with every quanta count, best split each.
std::vector<TimingChoice> AllTimings(double wantedBps, double target) {
    std::vector<TimingChoice> all;
    for (int prescaler = 1; prescaler <= MAX_PRESCALER; ++prescaler) {
        for (int quanta = MIN_QUANTA; quanta <= MAX_QUANTA; ++quanta) {
            all.push_back(Choice(BestSplit(prescaler, quanta, target), wantedBps));
        }
    }
    return all;
}

// The best timing of the nearest rate on one side of the wanted one.
std::optional<TimingChoice> NearestOnSide(const std::vector<TimingChoice>& all, bool above,
                                          double target) {
    std::optional<TimingChoice> nearest;
    for (const auto& choice : all) {
        if ((choice.errorPercent > 0) != above) {
            continue;
        }
        if (!nearest || Better(choice, *nearest, target)) {
            nearest = choice;
        }
    }
    return nearest;
}

std::optional<TimingChoice> PagePair(double wantedBps) {
    for (std::size_t row = 0; row < PAGE_RATES.size(); ++row) {
        if (PAGE_RATES[row].bps == wantedBps) {
            return Choice(DecodeBtr(protocol::BTR_TABLE[row]), wantedBps);
        }
    }
    return std::nullopt;
}

}  // namespace

double RecommendedSamplePoint(double bitRateBps) {
    if (bitRateBps <= 500'000) {
        return 0.875;
    }
    return bitRateBps <= 800'000 ? 0.80 : 0.75;
}

TimingSearch SearchTimings(double wantedBps, std::optional<double> samplePoint) {
    TimingSearch search{
        wantedBps, samplePoint.value_or(RecommendedSamplePoint(wantedBps)), {}, {}, {}};
    const double target = search.targetSamplePoint;
    const auto all = AllTimings(wantedBps, target);
    std::copy_if(
        all.begin(), all.end(), std::back_inserter(search.choices),
        [](const TimingChoice& c) { return std::abs(c.errorPercent) <= MAX_ERROR_PERCENT; });
    std::sort(search.choices.begin(), search.choices.end(),
              [target](const auto& a, const auto& b) { return Better(a, b, target); });
    if (search.choices.empty()) {
        for (const bool above : {false, true}) {
            if (const auto nearest = NearestOnSide(all, above, target)) {
                search.nearest.push_back(*nearest);
            }
        }
        return search;
    }
    const auto page = PagePair(wantedBps);
    if (page && page->registers != search.choices.front().registers) {
        search.pagePair = page;
    }
    return search;
}

std::optional<std::string> PageRateLabel(protocol::BtrEntry registers) {
    for (std::size_t row = 0; row < PAGE_RATES.size(); ++row) {
        if (protocol::BTR_TABLE[row] == registers) {
            return PAGE_RATES[row].label;
        }
    }
    return std::nullopt;
}

}  // namespace quillon::bittiming
