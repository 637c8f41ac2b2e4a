#include "platform/kmdf/MdlRegistry.hpp"

#include <cstdint>

namespace kmdf {

PMDL MdlRegistry::Allocate(PVOID virtualAddress, ULONG length) {
    auto mdl = std::make_unique<MDL>();
    const auto address = reinterpret_cast<std::uintptr_t>(virtualAddress);
    mdl->StartVa = reinterpret_cast<PVOID>(address & ~(std::uintptr_t{PAGE_SIZE} - 1));
    mdl->ByteOffset = static_cast<ULONG>(address & (PAGE_SIZE - 1));
    mdl->ByteCount = length;
    PMDL raw = mdl.get();
    std::lock_guard lock(mutex_);
    lists_.emplace(raw, std::move(mdl));
    ++stats_.allocated;
    ++stats_.live;
    return raw;
}

bool MdlRegistry::Free(PMDL mdl) {
    std::unique_ptr<MDL> owned;
    std::lock_guard lock(mutex_);
    auto it = lists_.find(mdl);
    if (it == lists_.end()) {
        ++stats_.invalidFrees;
        return false;
    }
    owned = std::move(it->second);
    lists_.erase(it);
    ++stats_.freed;
    --stats_.live;
    return true;
}

bool MdlRegistry::IsLive(const MDL* mdl) const {
    std::lock_guard lock(mutex_);
    return lists_.count(mdl) != 0;
}

void MdlRegistry::CountRebuiltWhileMapped() {
    std::lock_guard lock(mutex_);
    ++stats_.rebuiltWhileMapped;
}

void MdlRegistry::CountOutOfRange() {
    std::lock_guard lock(mutex_);
    ++stats_.outOfRange;
}

MdlStats MdlRegistry::Stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}

}  // namespace kmdf
