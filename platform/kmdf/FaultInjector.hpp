// Makes chosen kernel and framework services fail on purpose, so the driver's
// failure paths can be driven from tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <random>

namespace kmdf {

enum class FaultPoint : std::size_t {
    MdlAllocation,   ///< IoAllocateMdl returns null
    PoolAllocation,  ///< WdfMemoryCreate fails
    FormatRequest,   ///< WdfUsbTargetPipeFormatRequestForUrb fails
    RetrieveMdl,     ///< WdfRequestRetrieve{Input,Output}WdmMdl fails
    CollectionAdd,   ///< WdfCollectionAdd fails
    Count
};

class FaultInjector {
  public:
    /// The point fails `count` times after `skip` successful calls.
    void Arm(FaultPoint point, std::size_t skip = 0, std::size_t count = 1);
    /// Every call of the point fails with a chance of `perMille` in a
    /// thousand, drawn from a generator seeded with `seed` (repeatable when
    /// the calls come in the same order).
    void ArmRandom(FaultPoint point, unsigned perMille, std::uint32_t seed);
    /// Called by the service; true when this call must fail.
    bool ShouldFail(FaultPoint point);
    void Clear();

  private:
    struct Plan {
        std::size_t skip = 0;
        std::size_t count = 0;
        unsigned perMille = 0;
    };
    std::mutex mutex_;
    std::mt19937 random_{1};
    std::array<Plan, static_cast<std::size_t>(FaultPoint::Count)> plans_{};
};

}  // namespace kmdf
