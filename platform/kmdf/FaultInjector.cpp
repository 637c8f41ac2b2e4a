#include "platform/kmdf/FaultInjector.hpp"

namespace kmdf {

void FaultInjector::Arm(FaultPoint point, std::size_t skip, std::size_t count) {
    std::lock_guard lock(mutex_);
    plans_[static_cast<std::size_t>(point)] = Plan{skip, count};
}

void FaultInjector::ArmRandom(FaultPoint point, unsigned perMille, std::uint32_t seed) {
    std::lock_guard lock(mutex_);
    plans_[static_cast<std::size_t>(point)] = Plan{0, 0, perMille};
    random_.seed(seed);
}

bool FaultInjector::ShouldFail(FaultPoint point) {
    std::lock_guard lock(mutex_);
    Plan& plan = plans_[static_cast<std::size_t>(point)];
    if (plan.perMille > 0) {
        return std::uniform_int_distribution<unsigned>(0, 999)(random_) < plan.perMille;
    }
    if (plan.count == 0) {
        return false;
    }
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    --plan.count;
    return true;
}

void FaultInjector::Clear() {
    std::lock_guard lock(mutex_);
    plans_.fill(Plan{});
}

}  // namespace kmdf
