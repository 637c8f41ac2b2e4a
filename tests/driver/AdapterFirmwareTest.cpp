#include <gtest/gtest.h>

#include "driver/backend/AdapterFirmware.hpp"

namespace brindle {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// A CAN controller that records what it is asked to do.
class RecordingController final : public kelvix::Adapter {
  public:
    std::string Open() override { return openError; }
    void Close() override {}
    bool InitChannel(std::uint32_t channel, const CanInitRecord& init) override {
        lastInit = init;
        return channel == 0;
    }
    bool StartChannel(std::uint32_t) override { return true; }
    std::uint32_t Transmit(std::uint32_t channel, std::span<const CanFrameRecord> frames) override {
        std::lock_guard lock(mutex);
        std::uint32_t taken = 0;
        for (const CanFrameRecord& frame : frames) {
            if (refusing) {
                break;
            }
            sent.push_back({static_cast<std::uint8_t>(channel), frame});
            ++taken;
        }
        return taken;
    }
    std::vector<usb::ChannelFrame> Sent() {
        std::lock_guard lock(mutex);
        return sent;
    }
    std::int32_t Receive(std::uint32_t, std::span<CanFrameRecord>, std::int32_t) override {
        return 0;
    }
    CanErrorRecord TakeError(std::uint32_t) override { return {}; }
    bool SetReference(std::uint32_t, std::uint32_t refType, void* data) override {
        lastReference = {refType, *static_cast<std::uint32_t*>(data)};
        return true;
    }

    std::string openError;
    std::mutex mutex;
    bool refusing = false;
    std::vector<usb::ChannelFrame> sent;
    CanInitRecord lastInit{};
    std::pair<std::uint32_t, std::uint32_t> lastReference{};
};

class AdapterFirmwareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<RecordingController>();
        controller = owned.get();
        firmware = std::make_unique<AdapterFirmware>(std::move(owned));
        ASSERT_EQ(firmware->Start({}), "");
    }

    usb::Response Run(usb::Opcode opcode, std::uint8_t channel, Bytes payload = {}) {
        const Bytes command = usb::EncodeCommand(usb::Command{opcode, channel, std::move(payload)});
        EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_COMMAND, command), command.size());
        return Answer();
    }

    usb::Response Answer() {
        Bytes answer(usb::RESPONSE_RECORD_SIZE);
        const auto size = firmware->ReadIn(usb::ENDPOINT_RESPONSE, answer);
        EXPECT_EQ(size, usb::RESPONSE_RECORD_SIZE);
        return usb::DecodeResponse(answer).value_or(usb::Response{});
    }

  public:
    static Bytes Records(std::initializer_list<std::pair<std::uint8_t, std::uint32_t>> frames) {
        Bytes out;
        for (const auto& [channel, id] : frames) {
            CanFrameRecord frame{};
            frame.ID = id;
            frame.DataLen = 1;
            frame.Data[0] = static_cast<std::uint8_t>(id);
            const auto bytes = usb::EncodeFrame(channel, frame);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        return out;
    }

    RecordingController* controller = nullptr;
    std::unique_ptr<AdapterFirmware> firmware;
};

TEST_F(AdapterFirmwareTest, TransmitRecordsGoOutOnTheirChannelsInOrder) {
    const Bytes records = Records({{0, 0x10}, {1, 0x11}, {0, 0x12}});
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, records), records.size());
    ASSERT_TRUE(firmware->WaitUntilTransmitted());
    const auto sent = controller->Sent();
    ASSERT_EQ(sent.size(), 3U);
    EXPECT_EQ(sent[1].channel, 1);
    EXPECT_EQ(sent[1].frame.ID, 0x11U);
    EXPECT_EQ(sent[2].frame.Data[0], 0x12);
}

TEST_F(AdapterFirmwareTest, TransmitStopsAtTheFirstRefusedRecord) {
    Bytes records = Records({{0, 1}, {5, 2}, {0, 3}});
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, records), 20U);
    ASSERT_TRUE(firmware->WaitUntilTransmitted());
    EXPECT_EQ(controller->Sent().size(), 1U);
    EXPECT_EQ(Run(usb::Opcode::ReadError, 0).error.ErrCode,
              static_cast<std::uint32_t>(KELVIX_ERR_BAD_CHANNEL));
    EXPECT_EQ(Run(usb::Opcode::ReadError, 0).error.ErrCode, 0U) << "reading clears it";
    // A trailing partial record is not taken either.
    records = Records({{1, 4}});
    records.pop_back();
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, records), 0U);
}

TEST_F(AdapterFirmwareTest, CommandsAnswerWithTheirOutcome) {
    CanInitRecord init{};
    init.AccMask = 0x10;
    EXPECT_EQ(Run(usb::Opcode::InitChannel, 0, usb::EncodeInitPayload(init)).status,
              usb::ResponseStatus::Done);
    EXPECT_EQ(controller->lastInit.AccMask, 0x10U);
    EXPECT_EQ(Run(usb::Opcode::InitChannel, 1, usb::EncodeInitPayload(init)).status,
              usb::ResponseStatus::Refused);
    EXPECT_EQ(Run(usb::Opcode::InitChannel, 0, {1, 2}).status,
              usb::ResponseStatus::MalformedCommand);
    EXPECT_EQ(Run(usb::Opcode::StartChannel, 2).status, usb::ResponseStatus::BadChannel);
    EXPECT_EQ(Run(static_cast<usb::Opcode>(9), 0).status, usb::ResponseStatus::UnknownCommand);
    EXPECT_EQ(Run(usb::Opcode::SetReference, 1, {30, 0, 0, 0, 0xE8, 0x03, 0, 0}).status,
              usb::ResponseStatus::Done);
    EXPECT_EQ(controller->lastReference, (std::pair<std::uint32_t, std::uint32_t>{30, 1000}));
}

TEST_F(AdapterFirmwareTest, ReadsWaitWhileThereIsNothingToSend) {
    Bytes buffer(64);
    EXPECT_FALSE(firmware->ReadIn(usb::ENDPOINT_RECEIVE, buffer));
    EXPECT_FALSE(firmware->ReadIn(usb::ENDPOINT_RESPONSE, buffer));
}

/// Firmware whose controller is not on the bus until told, so its queue fills.
class TransmitQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<RecordingController>();
        controller = owned.get();
        controller->refusing = true;
        firmware = std::make_unique<AdapterFirmware>(std::move(owned), AdapterFirmware::Options{4});
        ASSERT_EQ(firmware->Start({}), "");
    }

    RecordingController* controller = nullptr;
    std::unique_ptr<AdapterFirmware> firmware;
};

TEST_F(TransmitQueueTest, AFullQueueTakesWhatFitsThenNothingUntilThereIsRoom) {
    const Bytes six =
        AdapterFirmwareTest::Records({{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}});
    // Four whole records fit; the write completes short.
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, six), 80U);
    EXPECT_EQ(firmware->TransmitQueued(), 4U);
    // Full: the transfer must wait for room.
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, std::span(six).subspan(80)), std::nullopt);
    {
        std::lock_guard lock(controller->mutex);
        controller->refusing = false;
    }
    ASSERT_TRUE(firmware->WaitUntilTransmitted());
    EXPECT_EQ(firmware->WriteOut(usb::ENDPOINT_TRANSMIT, std::span(six).subspan(80)), 40U);
    ASSERT_TRUE(firmware->WaitUntilTransmitted());
    const auto sent = controller->Sent();
    ASSERT_EQ(sent.size(), 6U);
    for (std::uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(sent[i].frame.ID, i + 1) << "in order, the refused head offered again";
    }
    EXPECT_EQ(firmware->FramesTransmitted(), 6U);
}

TEST(AdapterFirmwareStartTest, ControllerFailureIsReported) {
    auto controller = std::make_unique<RecordingController>();
    controller->openError = "bus gone";
    AdapterFirmware firmware(std::move(controller));
    EXPECT_EQ(firmware.Start({}), "CAN controller: bus gone");
}

}  // namespace
}  // namespace brindle
