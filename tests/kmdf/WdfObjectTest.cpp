#include <gtest/gtest.h>

#include "platform/kmdf/Kernel.hpp"
#include "platform/kmdf/WdfCollection.hpp"
#include "platform/kmdf/WdfDriver.hpp"
#include "platform/kmdf/WdfMemory.hpp"
#include "support/kmdf/FakeWaiter.hpp"

namespace kmdf {
namespace {

struct SAMPLE_CONTEXT {
    int value;
    void* pointer;
};

constexpr std::uint32_t TAG = PoolTag("TEST");

class WdfObjectTest : public ::testing::Test {
  protected:
    WDFMEMORY Allocate(WDFOBJECT parent, std::size_t size) {
        WDF_OBJECT_ATTRIBUTES attributes;
        WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
        attributes.ParentObject = parent;
        WDFMEMORY memory = nullptr;
        EXPECT_EQ(
            WdfMemoryCreate(&attributes, POOL_TYPE::NonPagedPool, TAG, size, &memory, nullptr),
            STATUS_SUCCESS);
        return memory;
    }

    Kernel kernel{std::make_shared<FakeWaiter>()};
    WdfDriver root{WDF_DRIVER_CONFIG{}};
};

TEST_F(WdfObjectTest, PoolTagIsItsFourBytesInMemoryOrder) {
    EXPECT_EQ(PoolTag("USBS"), 0x53425355U);
}

TEST_F(WdfObjectTest, DeletingAParentFreesItsChildrenAndTheirMemory) {
    WDFMEMORY parent = Allocate(&root, 72);
    Allocate(parent, 100);
    Allocate(Allocate(parent, 8), 16);
    EXPECT_EQ(kernel.Pool().Usage(TAG).liveAllocations, 4U);
    EXPECT_EQ(kernel.Pool().Usage(TAG).liveBytes, 196U);
    WdfObjectDelete(parent);
    EXPECT_EQ(kernel.Pool().Usage(TAG).liveAllocations, 0U);
    EXPECT_EQ(root.ChildCount(), 0U);
}

TEST_F(WdfObjectTest, MemoryNeedsAParentAndCanBeRefused) {
    WDFMEMORY memory = nullptr;
    EXPECT_EQ(WdfMemoryCreate(nullptr, POOL_TYPE::NonPagedPool, TAG, 8, &memory, nullptr),
              STATUS_INVALID_PARAMETER);
    kernel.Faults().Arm(FaultPoint::PoolAllocation);
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
    attributes.ParentObject = &root;
    EXPECT_EQ(WdfMemoryCreate(&attributes, POOL_TYPE::NonPagedPool, TAG, 8, &memory, nullptr),
              STATUS_INSUFFICIENT_RESOURCES);
    EXPECT_EQ(memory, nullptr);
    EXPECT_EQ(kernel.Pool().Usage(TAG).totalAllocations, 0U);
}

TEST_F(WdfObjectTest, TypedContextStartsZeroed) {
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT_CONTEXT_TYPE<SAMPLE_CONTEXT>(&attributes);
    attributes.ParentObject = &root;
    WDFCOLLECTION collection = nullptr;
    ASSERT_EQ(WdfCollectionCreate(&attributes, &collection), STATUS_SUCCESS);
    SAMPLE_CONTEXT* context = WdfObjectGetTypedContext<SAMPLE_CONTEXT>(collection);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->value, 0);
    EXPECT_EQ(context->pointer, nullptr);
}

TEST_F(WdfObjectTest, CollectionKeepsOrderAndRemovesByObjectOrIndex) {
    WDF_OBJECT_ATTRIBUTES attributes;
    WDF_OBJECT_ATTRIBUTES_INIT(&attributes);
    attributes.ParentObject = &root;
    WDFCOLLECTION collection = nullptr;
    ASSERT_EQ(WdfCollectionCreate(&attributes, &collection), STATUS_SUCCESS);
    WDFMEMORY a = Allocate(&root, 1);
    WDFMEMORY b = Allocate(&root, 1);
    WDFMEMORY c = Allocate(&root, 1);
    for (WDFOBJECT item :
         {static_cast<WDFOBJECT>(a), static_cast<WDFOBJECT>(b), static_cast<WDFOBJECT>(c)}) {
        ASSERT_EQ(WdfCollectionAdd(collection, item), STATUS_SUCCESS);
    }
    WdfCollectionRemove(collection, b);
    EXPECT_EQ(WdfCollectionGetCount(collection), 2U);
    EXPECT_EQ(WdfCollectionGetItem(collection, 1), c);
    WdfCollectionRemoveItem(collection, 0);
    EXPECT_EQ(WdfCollectionGetItem(collection, 0), c);
    EXPECT_EQ(WdfCollectionGetItem(collection, 1), nullptr);
    kernel.Faults().Arm(FaultPoint::CollectionAdd);
    EXPECT_EQ(WdfCollectionAdd(collection, a), STATUS_INSUFFICIENT_RESOURCES);
    EXPECT_EQ(WdfCollectionGetCount(collection), 1U);
}

}  // namespace
}  // namespace kmdf
