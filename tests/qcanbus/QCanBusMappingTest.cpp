// Options of "qcanbus:..." specs and the mapping to and from Qt frames.
#include <gtest/gtest.h>

#include "platform/kelvix/qcanbus/FrameQueue.hpp"
#include "platform/kelvix/qcanbus/QCanBusFrameMapping.hpp"
#include "platform/kelvix/qcanbus/QCanBusOptions.hpp"
#include "support/BusFrames.hpp"

namespace kelvix {
namespace {

using quillon::test::BusFrame;

TEST(QCanBusOptionsTest, PluginInterfacesAndSettings) {
    std::string error;
    auto options = ParseQCanBusOptions("virtualcan:can0,can1", error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->plugin, "virtualcan");
    EXPECT_EQ(options->interfaces[0], "can0");
    EXPECT_EQ(options->interfaces[1], "can1");
    EXPECT_EQ(options->connectWaitMs, 5000u);

    options = ParseQCanBusOptions(
        "virtualcan:tcp://127.0.0.1:35468/can1,connect-wait-ms=50,queue-wait-ms=7", error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->interfaces[0], "tcp://127.0.0.1:35468/can1") << "colons stay in the name";
    EXPECT_EQ(options->interfaces[1], "");
    EXPECT_EQ(options->connectWaitMs, 50u);
    EXPECT_EQ(options->queueWaitMs, 7u);
}

TEST(QCanBusOptionsTest, MistakesAreNamed) {
    const std::pair<const char*, const char*> rows[] = {
        {"", "qcanbus needs a plugin and an interface, e.g. qcanbus:virtualcan:can0,can1"},
        {"virtualcan",
         "qcanbus needs a plugin and an interface, e.g. qcanbus:virtualcan:can0,can1"},
        {"peakcan:",
         "qcanbus plugin \"peakcan\" needs an interface, e.g. "
         "qcanbus:virtualcan:can0,can1"},
        {"peakcan:usb0,usb1,usb2", "qcanbus interface \"usb2\": the adapter has 2 channels"},
        {"peakcan:usb0,connect-wait-ms=x",
         "qcanbus option \"connect-wait-ms=x\" needs a whole number of ms"},
    };
    for (const auto& [text, expected] : rows) {
        std::string error;
        EXPECT_FALSE(ParseQCanBusOptions(text, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

TEST(QCanBusFrameMappingTest, RecordsMapToQtFramesAndBack) {
    CanFrameRecord erase = BusFrame(1, true, {});
    erase.RemoteFlag = 1;
    const CanFrameRecord rows[] = {BusFrame(0x7FF, false, {1, 2, 3, 4, 5, 6, 7, 8}),
                                   BusFrame(0x1FFFFFFF, true, {0xEE}), BusFrame(1, false, {}),
                                   erase};
    for (const auto& record : rows) {
        std::string error;
        const auto frame = ToQCanBusFrame(record, error);
        ASSERT_TRUE(frame) << error;
        EXPECT_EQ(frame->frameId(), record.ID);
        EXPECT_EQ(frame->hasExtendedFrameFormat(), record.ExternFlag != 0);
        EXPECT_EQ(frame->frameType() == QCanBusFrame::RemoteRequestFrame, record.RemoteFlag != 0);
        const auto back = FromQCanBusFrame(*frame, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(back->ID, record.ID);
        EXPECT_EQ(back->ExternFlag, record.ExternFlag);
        EXPECT_EQ(back->RemoteFlag, record.RemoteFlag);
        EXPECT_EQ(back->DataLen, record.DataLen);
        EXPECT_TRUE(std::equal(record.Data, record.Data + 8, back->Data));
    }
}

TEST(QCanBusFrameMappingTest, WhatTheRecordCannotCarryIsRefused) {
    std::string error;
    EXPECT_FALSE(ToQCanBusFrame(BusFrame(0x800, false, {}), error));
    EXPECT_EQ(error, "identifier 0x800 does not fit a 11-bit standard frame");

    QCanBusFrame errorFrame(QCanBusFrame::ErrorFrame);
    EXPECT_FALSE(FromQCanBusFrame(errorFrame, error));
    EXPECT_TRUE(error.starts_with("bus error frame")) << error;

    QCanBusFrame flexible(0x10, QByteArray(12, '\x05'));
    flexible.setFlexibleDataRateFormat(true);
    EXPECT_FALSE(FromQCanBusFrame(flexible, error));
    EXPECT_TRUE(error.ends_with("has more than 8 data bytes")) << error;
}

TEST(FrameQueueTest, BoundedCountsLossAndCloseWakesAndEmpties) {
    FrameQueue queue(2);
    EXPECT_TRUE(queue.Push(BusFrame(1, false, {})));
    EXPECT_TRUE(queue.Push(BusFrame(2, false, {})));
    EXPECT_FALSE(queue.Push(BusFrame(3, false, {})));
    EXPECT_EQ(queue.Lost(), 1u);
    CanFrameRecord out[4];
    ASSERT_EQ(queue.Take(out, std::chrono::milliseconds(0)), 2u);
    EXPECT_EQ(out[0].ID, 1u);
    EXPECT_EQ(out[1].ID, 2u);
    queue.Push(BusFrame(4, false, {}));
    queue.Close();
    EXPECT_EQ(queue.Take(out, std::chrono::hours(1)), 0u) << "returns at once when closed";
    EXPECT_FALSE(queue.Push(BusFrame(5, false, {})));
    EXPECT_EQ(queue.Lost(), 1u) << "frames after close are not a loss";
    queue.Reopen();
    EXPECT_TRUE(queue.Push(BusFrame(6, false, {})));
}

}  // namespace
}  // namespace kelvix
