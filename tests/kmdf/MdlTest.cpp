#include <gtest/gtest.h>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/Mdl.hpp"
#include "support/kmdf/FakeWaiter.hpp"

namespace kmdf {
namespace {

class MdlTest : public ::testing::Test {
  protected:
    Kernel kernel{std::make_shared<FakeWaiter>()};
    alignas(4096) std::uint8_t buffer[3 * 4096] = {};
};

TEST_F(MdlTest, ListSplitsAddressIntoPageAndOffset) {
    PMDL mdl = IoAllocateMdl(buffer + 100, 5000, false, false, nullptr);
    ASSERT_NE(mdl, nullptr);
    EXPECT_EQ(mdl->StartVa, buffer);
    EXPECT_EQ(MmGetMdlByteOffset(mdl), 100U);
    EXPECT_EQ(MmGetMdlVirtualAddress(mdl), buffer + 100);
    EXPECT_EQ(MmGetMdlByteCount(mdl), 5000U);
    IoFreeMdl(mdl);
    EXPECT_EQ(kernel.Mdls().Stats().live, 0U);
}

TEST_F(MdlTest, PartialListDescribesAPieceOfItsSource) {
    PMDL source = IoAllocateMdl(buffer, sizeof buffer, false, false, nullptr);
    PMDL partial = IoAllocateMdl(buffer, sizeof buffer, false, false, nullptr);
    IoBuildPartialMdl(source, partial, buffer + 4100, 200);
    EXPECT_EQ(MmGetMdlVirtualAddress(partial), buffer + 4100);
    EXPECT_EQ(partial->ByteOffset, 4U);
    EXPECT_NE(partial->MdlFlags & MDL_PARTIAL, 0);
    EXPECT_EQ(MmGetSystemAddressForMdlSafe(partial, MM_PAGE_PRIORITY::NormalPagePriority),
              buffer + 4100);
    EXPECT_NE(partial->MdlFlags & MDL_PARTIAL_HAS_BEEN_MAPPED, 0);
    MmUnmapLockedPages(partial->MappedSystemVa, partial);
    IoBuildPartialMdl(source, partial, buffer + 8192, 0);
    EXPECT_EQ(MmGetMdlByteCount(partial), 4096U);
    EXPECT_EQ(kernel.Mdls().Stats().rebuiltWhileMapped, 0U);
    IoFreeMdl(partial);
    IoFreeMdl(source);
}

TEST_F(MdlTest, MisuseIsCountedNotHidden) {
    PMDL source = IoAllocateMdl(buffer, 4096, false, false, nullptr);
    PMDL partial = IoAllocateMdl(buffer, 4096, false, false, nullptr);
    IoBuildPartialMdl(source, partial, buffer + 4000, 200);
    EXPECT_EQ(kernel.Mdls().Stats().outOfRange, 1U);
    EXPECT_EQ(partial->ByteCount, 0U);
    IoBuildPartialMdl(source, partial, buffer, 10);
    MmGetSystemAddressForMdlSafe(partial, MM_PAGE_PRIORITY::NormalPagePriority);
    IoBuildPartialMdl(source, partial, buffer, 20);
    EXPECT_EQ(kernel.Mdls().Stats().rebuiltWhileMapped, 1U);
    IoFreeMdl(partial);
    IoFreeMdl(partial);
    EXPECT_EQ(kernel.Mdls().Stats().invalidFrees, 1U);
    IoFreeMdl(source);
}

TEST_F(MdlTest, InjectedFaultMakesAllocationReturnNull) {
    kernel.Faults().Arm(FaultPoint::MdlAllocation, 1);
    PMDL first = IoAllocateMdl(buffer, 10, false, false, nullptr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(IoAllocateMdl(buffer, 10, false, false, nullptr), nullptr);
    PMDL third = IoAllocateMdl(buffer, 10, false, false, nullptr);
    EXPECT_NE(third, nullptr);
    IoFreeMdl(first);
    IoFreeMdl(third);
    EXPECT_EQ(kernel.Mdls().Stats().allocated, 2U);
}

}  // namespace
}  // namespace kmdf
