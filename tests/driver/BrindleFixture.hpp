// A machine with Brindle loaded and one simulated adapter plugged in, on fake
// time. Every test ends by checking that no request, list or transfer leaked
// or completed twice.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/Brindle.hpp"
#include "driver/BrindleContexts.hpp"
#include "driver/BrindleIoctl.hpp"
#include "platform/kmdf/HandleApi.hpp"
#include "platform/kmdf/KernelHost.hpp"
#include "platform/kmdf/SimUsbDevice.hpp"
#include "support/kmdf/FakeWaiter.hpp"
#include "support/kmdf/PatternFunction.hpp"

namespace brindle::test {

inline constexpr kmdf::HANDLE PROCESS_A = 1000;
inline constexpr kmdf::HANDLE PROCESS_B = 2000;

// Pipes of the adapter, in configuration order.
inline constexpr kmdf::UCHAR BULK_IN = 0x81;
inline constexpr kmdf::UCHAR BULK_OUT = 0x01;
inline constexpr kmdf::UCHAR INTERRUPT_IN = 0x82;
inline constexpr kmdf::UCHAR INTERRUPT_OUT = 0x02;

class BrindleFixture : public ::testing::Test {
  protected:
    virtual kmdf::SimUsbDeviceConfig DeviceConfig() { return kmdf::AdapterDeviceConfig(); }

    void SetUp() override {
        ASSERT_EQ(host.LoadDriver(DriverEntry), kmdf::STATUS_SUCCESS);
        bus = std::make_shared<kmdf::SimUsbDevice>(DeviceConfig(), function);
        ASSERT_EQ(host.PlugIn(bus, &device), kmdf::STATUS_SUCCESS);
        const auto paths = api.EnumerateInterfaces(BRINDLE_INTERFACE_CLASS);
        ASSERT_EQ(paths.size(), 1U);
        path = paths[0];
    }

    void TearDown() override {
        api.CloseProcessHandles(PROCESS_A);
        api.CloseProcessHandles(PROCESS_B);
        const kmdf::FrameworkStats stats = host.GetKernel().Stats();
        EXPECT_EQ(stats.requestsCreated, stats.requestsCompleted);
        EXPECT_EQ(stats.invalidCompletions, 0U);
        EXPECT_EQ(stats.completedWhileSent, 0U);
        EXPECT_EQ(stats.sentTwice, 0U);
        const kmdf::MdlStats mdls = host.GetKernel().Mdls().Stats();
        EXPECT_EQ(mdls.live, 0U);
        EXPECT_EQ(mdls.invalidFrees, 0U);
        EXPECT_EQ(mdls.rebuiltWhileMapped, 0U);
        EXPECT_EQ(mdls.outOfRange, 0U);
        // A completion signals its caller before the bus has finished its books.
        EXPECT_TRUE(bus->WaitIdle());
        const kmdf::SimUsbStats usb = bus->Stats();
        EXPECT_EQ(usb.doubleCompletions, 0U);
        EXPECT_EQ(usb.malformed, 0U);
    }

    kmdf::OpenResult Open(kmdf::HANDLE process, const std::string& name) {
        return api.CreateFile(process, name.empty() ? path : path + "\\" + name);
    }

    kmdf::UserHandle OpenOrFail(kmdf::HANDLE process, const std::string& name) {
        const kmdf::OpenResult opened = Open(process, name);
        EXPECT_EQ(opened.status, kmdf::STATUS_SUCCESS) << "opening " << name;
        return opened.handle;
    }

    kmdf::IoResult Control(kmdf::HANDLE process, kmdf::UserHandle handle, std::uint32_t code,
                           std::vector<std::uint8_t>& output) {
        return api.DeviceIoControl(process, handle, code, {}, output);
    }

    std::size_t LiveUrbMemory() {
        return host.GetKernel().Pool().Usage(BRINDLE_POOL_TAG).liveAllocations;
    }

    std::shared_ptr<kmdf::FakeWaiter> clock = std::make_shared<kmdf::FakeWaiter>();
    kmdf::KernelHost host{clock};
    std::shared_ptr<kmdf::PatternFunction> function = std::make_shared<kmdf::PatternFunction>();
    std::shared_ptr<kmdf::SimUsbDevice> bus;
    kmdf::WDFDEVICE device = nullptr;
    kmdf::HandleApi api{host};
    std::string path;
};

}  // namespace brindle::test
