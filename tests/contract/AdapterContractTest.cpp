// The adapter contract: what the program relies on from the adapter library,
// whichever backend is behind it, checked through the eight C calls. Every
// backend of the build runs every clause with its own rig (the *Rig.cpp
// files); a backend that cannot do a clause says why in its row, and the
// clause is reported skipped with that reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>
#include <tuple>

#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "tests/contract/AdapterRig.hpp"

namespace quillon::test {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The program's device type; the adapter under test and its peer.
constexpr std::uint32_t TYPE = 4;
constexpr std::uint32_t SUBJECT = 3;
constexpr std::uint32_t PEER = 7;

// The program's receive buffer holds 50 frames.
constexpr std::uint32_t CAPACITY = 50;
// How long a test waits for a frame that is due.
constexpr std::int32_t ARRIVAL_WAIT_MS = 5000;
// How long a test listens for a frame that must not come.
constexpr std::int32_t STRAY_WAIT_MS = 100;
// What a receive may take beyond its wait: generous, the machine may be busy.
constexpr auto RECEIVE_MARGIN = milliseconds(5000);

// The record the upgrade mode entry re-initialises channel 0 with.
constexpr CanInitRecord UPGRADE_INIT{1, 0x10, 0, 0, 0xFF, 0xFF, 0};

CanFrameRecord Frame(std::uint32_t id, bool extended, bool remote, std::uint8_t length,
                     std::uint8_t seed) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.RemoteFlag = remote ? 1 : 0;
    frame.DataLen = length;
    for (std::uint8_t i = 0; i < length && !remote; ++i) {
        frame.Data[i] = static_cast<std::uint8_t>(seed + i * 0x11);
    }
    return frame;
}

CanFrameRecord DataFrame(std::uint32_t id, std::uint8_t seed) {
    return Frame(id, false, false, 8, seed);
}

// What the contract says a backend carries unchanged: the identifier, both
// flags, the length and, for a data frame, that many bytes.
std::string OnTheBus(const CanFrameRecord& frame) {
    char text[48];
    std::snprintf(text, sizeof(text), "%s%s %08X [%u]", frame.ExternFlag ? "ext" : "std",
                  frame.RemoteFlag ? " remote" : "", static_cast<unsigned>(frame.ID),
                  static_cast<unsigned>(frame.DataLen));
    std::string shown = text;
    for (std::uint8_t i = 0; i < std::min<std::uint8_t>(frame.DataLen, 8) && !frame.RemoteFlag;
         ++i) {
        std::snprintf(text, sizeof(text), " %02X", static_cast<unsigned>(frame.Data[i]));
        shown += text;
    }
    return shown;
}

void ExpectSameFrames(const std::vector<CanFrameRecord>& got,
                      const std::vector<CanFrameRecord>& sent) {
    ASSERT_EQ(got.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(OnTheBus(got[i]), OnTheBus(sent[i])) << "frame " << i;
    }
}

std::uint32_t ErrorCodeOf(std::uint32_t index, std::uint32_t channel, std::uint32_t& result) {
    CanErrorRecord error{};
    error.ErrCode = 0xFFFFFFFF;
    result = VCI_ReadErrInfo(TYPE, index, channel, &error);
    return error.ErrCode;
}

// Receives until `count` frames have come or a wait passes without one.
std::vector<CanFrameRecord> ReceiveFrames(std::uint32_t index, std::uint32_t channel,
                                          std::size_t count) {
    std::vector<CanFrameRecord> got;
    CanFrameRecord buffer[CAPACITY];
    while (got.size() < count) {
        const std::int32_t stored =
            VCI_Receive(TYPE, index, channel, buffer, CAPACITY, ARRIVAL_WAIT_MS);
        EXPECT_LE(stored, static_cast<std::int32_t>(CAPACITY)) << "more than the buffer holds";
        if (stored <= 0) {
            break;
        }
        got.insert(got.end(), buffer, buffer + std::min<std::int32_t>(stored, CAPACITY));
    }
    return got;
}

// Frames that arrive on `channel` of `index` within a short wait.
std::vector<CanFrameRecord> Stray(std::uint32_t index, std::uint32_t channel) {
    std::vector<CanFrameRecord> got;
    CanFrameRecord buffer[CAPACITY];
    for (;;) {
        const std::int32_t stored =
            VCI_Receive(TYPE, index, channel, buffer, CAPACITY, STRAY_WAIT_MS);
        if (stored <= 0) {
            return got;
        }
        got.insert(got.end(), buffer, buffer + std::min<std::int32_t>(stored, CAPACITY));
    }
}

struct Call {
    Step step;
    std::uint32_t result;
};

struct CallOrder {
    const char* name;
    std::vector<Call> calls;
    bool openAfter;  ///< whether the adapter is open once the calls are made
};

// Orders a program may call open, init, start and close in: the window's
// connect, the upgrade's own connect of an adapter already open, the upgrade
// mode entry's init of a started channel, a second disconnect, a retry.
const CallOrder CALL_ORDERS[] = {
    {"never started", {{Step::Open, 1}}, true},
    {"opened twice",
     {{Step::Open, 1}, {Step::Start0, 1}, {Step::Open, 1}, {Step::Start0, 1}},
     true},
    {"started before open", {{Step::Start0, 0}, {Step::Init0, 0}, {Step::Open, 1}}, true},
    {"closed before open", {{Step::Close, 0}, {Step::Open, 1}}, true},
    {"init before start", {{Step::Open, 1}, {Step::Init0, 1}, {Step::Start0, 1}}, true},
    {"init after start", {{Step::Open, 1}, {Step::Start0, 1}, {Step::Init0, 1}}, true},
    {"both channels started", {{Step::Open, 1}, {Step::Start1, 1}, {Step::Start0, 1}}, true},
    {"closed twice", {{Step::Open, 1}, {Step::Close, 1}, {Step::Close, 0}}, false},
    {"started after close",
     {{Step::Open, 1}, {Step::Close, 1}, {Step::Start0, 0}, {Step::Init0, 0}},
     false},
    {"reopened after close",
     {{Step::Open, 1}, {Step::Start0, 1}, {Step::Close, 1}, {Step::Open, 1}},
     true},
    {"opened after a failed open",
     {{Step::OpenFailing, 0}, {Step::Start0, 0}, {Step::Close, 0}, {Step::Open, 1}},
     true},
    {"failed open after close",
     {{Step::Open, 1}, {Step::Close, 1}, {Step::OpenFailing, 0}, {Step::Init0, 0}},
     false},
};

// Channel 1 is never started by the program, yet carries its frames.
void ExpectLinked() {
    const CanFrameRecord out = DataFrame(0x6A1, 0x10);
    const CanFrameRecord in = DataFrame(0x6A0, 0x20);
    EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 1, &out, 1), 1u);
    ExpectSameFrames(ReceiveFrames(PEER, 1, 1), {out});
    EXPECT_EQ(VCI_Transmit(TYPE, PEER, 0, &in, 1), 1u);
    ExpectSameFrames(ReceiveFrames(SUBJECT, 0, 1), {in});
}

void ExpectClosed() {
    const CanFrameRecord out = DataFrame(0x6A1, 0x10);
    CanFrameRecord buffer[CAPACITY];
    std::uint32_t reference = 1000;
    std::uint32_t read = 1;
    EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 1, &out, 1), 0u);
    EXPECT_EQ(VCI_Receive(TYPE, SUBJECT, 0, buffer, CAPACITY, 0), -1);
    EXPECT_EQ(VCI_SetReference(TYPE, SUBJECT, 0, 3, &reference), 0u);
    EXPECT_EQ(ErrorCodeOf(SUBJECT, 0, read), static_cast<std::uint32_t>(KELVIX_ERR_NOT_OPEN));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(Stray(PEER, 1).size(), 0u) << "a closed adapter sent nothing";
}

}  // namespace

void AdapterContractTest::SetUp() {
    rig = GetParam().make();
}

void AdapterContractTest::TearDown() {
    kelvix::CloseAllAdapters();
    rig.reset();
}

const Limit* AdapterContractTest::LimitOf(Clause clause) const {
    for (const Limit& limit : GetParam().limits) {
        if (limit.clause == clause) {
            return &limit;
        }
    }
    return nullptr;
}

std::uint32_t AdapterContractTest::Open(std::uint32_t index, OpenAs kind) {
    rig->Prepare(kind);
    return VCI_OpenDevice(TYPE, index, 0);
}

std::uint32_t AdapterContractTest::Make(Step step) {
    switch (step) {
        case Step::Open:
            return Open(SUBJECT);
        case Step::OpenFailing: {
            const std::uint32_t result = Open(SUBJECT, OpenAs::Failing);
            EXPECT_NE(kelvix::LastOpenError(), "") << "a failed open says why";
            return result;
        }
        case Step::Close:
            return VCI_CloseDevice(TYPE, SUBJECT);
        case Step::Init0:
            return VCI_InitCAN(TYPE, SUBJECT, 0, &UPGRADE_INIT);
        case Step::Start0:
            return VCI_StartCAN(TYPE, SUBJECT, 0);
        case Step::Start1:
            return VCI_StartCAN(TYPE, SUBJECT, 1);
    }
    return 0xFFFFFFFF;
}

TEST_P(AdapterContractTest, OpenInitStartAndCloseInEveryOrderAProgramUses) {
    if (const Limit* limit = LimitOf(Clause::CallOrder)) {
        GTEST_SKIP() << limit->reason;
    }
    for (const CallOrder& order : CALL_ORDERS) {
        SCOPED_TRACE(order.name);
        ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
        for (std::size_t i = 0; i < order.calls.size(); ++i) {
            const Call& call = order.calls[i];
            EXPECT_EQ(Make(call.step), call.result)
                << "call " << i << " " << kelvix::LastOpenError();
        }
        if (order.openAfter) {
            ExpectLinked();
        } else {
            ExpectClosed();
        }
        kelvix::CloseAllAdapters();
    }
}

TEST_P(AdapterContractTest, TransmitReturnsTheCountOfEachBatch) {
    if (const Limit* limit = LimitOf(Clause::BatchCount)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    // One frame, a channel block of the parameter write, more than a receive holds.
    std::vector<CanFrameRecord> sent;
    const CanFrameRecord spare = DataFrame(0x7FF, 0);
    for (const std::uint32_t size : {0u, 1u, 42u, 120u}) {
        std::vector<CanFrameRecord> batch;
        for (std::uint32_t i = 0; i < size; ++i) {
            const auto n = static_cast<std::uint32_t>(sent.size() + batch.size());
            batch.push_back(DataFrame(0x100 + n, static_cast<std::uint8_t>(n)));
        }
        EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 0, size == 0 ? &spare : batch.data(), size), size)
            << "a batch of " << size;
        sent.insert(sent.end(), batch.begin(), batch.end());
    }
    ExpectSameFrames(ReceiveFrames(PEER, 0, sent.size()), sent);
    EXPECT_EQ(Stray(PEER, 0).size(), 0u) << "every frame arrives once";
}

TEST_P(AdapterContractTest, AReceiveOnAQuietBusReturnsWithinItsWait) {
    if (const Limit* limit = LimitOf(Clause::ReceiveWait)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    for (const std::int32_t waitMs : {0, 1, 200}) {
        for (const std::uint32_t channel : {0u, 1u}) {
            SCOPED_TRACE("channel " + std::to_string(channel) + ", wait " + std::to_string(waitMs) +
                         " ms");
            CanFrameRecord buffer[CAPACITY];
            const auto start = SteadyClock::now();
            EXPECT_EQ(VCI_Receive(TYPE, SUBJECT, channel, buffer, CAPACITY, waitMs), 0);
            EXPECT_LT(SteadyClock::now() - start, milliseconds(waitMs) + RECEIVE_MARGIN);
            // The receive thread reads the error record after every empty receive.
            std::uint32_t read = 0;
            EXPECT_EQ(ErrorCodeOf(SUBJECT, channel, read), 0u) << "a quiet bus is no error";
            EXPECT_EQ(read, 1u);
        }
    }
}

TEST_P(AdapterContractTest, AWaitingReceiveTakesAFrameSentMeanwhile) {
    if (const Limit* limit = LimitOf(Clause::ReceiveMeanwhile)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    constexpr std::int32_t LONG_WAIT_MS = 20000;
    // The receive thread waits on channel 0 ...
    auto waiting = std::async(std::launch::async, [] {
        CanFrameRecord buffer[CAPACITY]{};
        const auto start = SteadyClock::now();
        const std::int32_t stored = VCI_Receive(TYPE, SUBJECT, 0, buffer, CAPACITY, LONG_WAIT_MS);
        return std::tuple{stored, buffer[0], SteadyClock::now() - start};
    });
    // ... while the window's thread transmits on channel 1 without a lock.
    CanFrameRecord request = DataFrame(0x6B0, 0x31);
    EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 1, &request, 1), 1u);
    ExpectSameFrames(ReceiveFrames(PEER, 1, 1), {request});
    CanFrameRecord reply = Frame(0x18FF50E5, true, false, 5, 0x42);
    ASSERT_EQ(VCI_Transmit(TYPE, PEER, 0, &reply, 1), 1u);
    const auto [stored, first, elapsed] = waiting.get();
    ASSERT_EQ(stored, 1);
    EXPECT_EQ(OnTheBus(first), OnTheBus(reply));
    EXPECT_LT(elapsed, milliseconds(LONG_WAIT_MS / 2)) << "the frame, not the wait, ended it";
}

// A disconnect closes the adapter while the receive thread waits; the wait
// must end then, not when it runs out. Whether the receive had reached its
// wait when the close came cannot be seen from outside, so the close is tried
// until a receive answers from inside the adapter (0 frames, not the -1 of an
// adapter already closed), each attempt handing the receiving thread the
// processor longer before the close; every attempt must end promptly.
TEST_P(AdapterContractTest, AWaitingReceiveEndsWhenTheAdapterIsClosed) {
    if (const Limit* limit = LimitOf(Clause::ReceiveEndsWithClose)) {
        GTEST_SKIP() << limit->reason;
    }
    constexpr std::int32_t LONG_WAIT_MS = 20000;
    constexpr int ATTEMPTS = 20;
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    bool closedWhileWaiting = false;
    for (int attempt = 0; attempt < ATTEMPTS && !closedWhileWaiting; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
        std::promise<void> calling;
        auto waiting = std::async(std::launch::async, [&calling, channel = attempt % 2] {
            CanFrameRecord buffer[CAPACITY]{};
            const auto start = SteadyClock::now();
            calling.set_value();
            const std::int32_t stored =
                VCI_Receive(TYPE, SUBJECT, channel, buffer, CAPACITY, LONG_WAIT_MS);
            return std::pair{stored, SteadyClock::now() - start};
        });
        calling.get_future().wait();
        for (long turn = 0; turn < (16L << std::min(attempt, 16)); ++turn) {
            std::this_thread::yield();
        }
        EXPECT_EQ(VCI_CloseDevice(TYPE, SUBJECT), 1u);
        const auto [stored, elapsed] = waiting.get();
        EXPECT_LE(stored, 0) << "a quiet bus delivers nothing";
        EXPECT_LT(elapsed, milliseconds(LONG_WAIT_MS / 4)) << "the close, not the wait, ended it";
        closedWhileWaiting = stored == 0;
    }
    EXPECT_TRUE(closedWhileWaiting) << "no close in " << ATTEMPTS << " came during a wait";
}

TEST_P(AdapterContractTest, ReadErrInfoSaysWhatARefusedTransmitLeft) {
    if (const Limit* limit = LimitOf(Clause::ErrorAfterRefusal)) {
        GTEST_SKIP() << limit->reason;
    }
    const RigRow& row = GetParam();
    SCOPED_TRACE(row.refusal);
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT, OpenAs::Refusing), 1u) << kelvix::LastOpenError();
    const std::vector<CanFrameRecord> batch = {DataFrame(0x301, 1), DataFrame(0x302, 2),
                                               DataFrame(0x303, 3)};
    EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 1, batch.data(), 3), row.refusedAccepted);
    std::uint32_t read = 0;
    EXPECT_EQ(ErrorCodeOf(SUBJECT, 1, read), row.refusedErrCode);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(ErrorCodeOf(SUBJECT, 1, read), 0u) << "reading the error clears it";
    EXPECT_EQ(ErrorCodeOf(SUBJECT, 0, read), 0u) << "channel 0 had no failure";
    // A refused frame never reaches the bus.
    const auto heard = Stray(PEER, 1);
    ASSERT_LE(heard.size(), row.refusedAccepted);
    ExpectSameFrames(heard, {batch.begin(), batch.begin() + static_cast<long>(heard.size())});
    // The program's way out of a failure: disconnect and connect again.
    EXPECT_EQ(VCI_CloseDevice(TYPE, SUBJECT), 1u);
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    ExpectLinked();
}

TEST_P(AdapterContractTest, TwoChannelsAreIndependent) {
    if (const Limit* limit = LimitOf(Clause::TwoChannels)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    const CanFrameRecord first = DataFrame(0x101, 0xA0);
    const CanFrameRecord other = DataFrame(0x202, 0xB0);
    const CanFrameRecord second = DataFrame(0x103, 0xC0);
    ASSERT_EQ(VCI_Transmit(TYPE, PEER, 0, &first, 1), 1u);
    ASSERT_EQ(VCI_Transmit(TYPE, PEER, 1, &other, 1), 1u);
    ASSERT_EQ(VCI_Transmit(TYPE, PEER, 0, &second, 1), 1u);
    // Channel 1 is read first: its frame does not wait behind channel 0's.
    ExpectSameFrames(ReceiveFrames(SUBJECT, 1, 1), {other});
    ExpectSameFrames(ReceiveFrames(SUBJECT, 0, 2), {first, second});
    EXPECT_EQ(Stray(SUBJECT, 1).size(), 0u);
    EXPECT_EQ(Stray(SUBJECT, 0).size(), 0u);
    // There are two channels and no third.
    CanFrameRecord buffer[CAPACITY];
    EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, 2, &first, 1), 0u);
    EXPECT_EQ(VCI_Receive(TYPE, SUBJECT, 2, buffer, CAPACITY, 0), -1);
    EXPECT_EQ(VCI_StartCAN(TYPE, SUBJECT, 2), 0u);
    EXPECT_EQ(Stray(PEER, 0).size() + Stray(PEER, 1).size(), 0u);
}

TEST_P(AdapterContractTest, FlagsAndEveryLengthArePreserved) {
    if (const Limit* limit = LimitOf(Clause::FlagsAndLengths)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    // Standard and extended, data and remote, lengths 0 to 8; identifiers
    // from the widest of each format down.
    std::vector<CanFrameRecord> frames;
    for (const bool extended : {false, true}) {
        for (const bool remote : {false, true}) {
            for (std::uint8_t length = 0; length <= 8; ++length) {
                const std::uint32_t n = length + (remote ? 9u : 0u);
                const std::uint32_t id = extended ? 0x1FFFFFFFu ^ (n * 0x01234567u & 0x1FFFFFFFu)
                                                  : 0x7FFu ^ (n * 0x111u & 0x7FFu);
                frames.push_back(Frame(id, extended, remote, length,
                                       static_cast<std::uint8_t>(0x80 + frames.size())));
            }
        }
    }
    const auto count = static_cast<std::uint32_t>(frames.size());
    for (const std::uint32_t channel : {0u, 1u}) {
        SCOPED_TRACE("channel " + std::to_string(channel));
        ASSERT_EQ(VCI_Transmit(TYPE, SUBJECT, channel, frames.data(), count), count);
        ExpectSameFrames(ReceiveFrames(PEER, channel, count), frames);
    }
}

TEST_P(AdapterContractTest, TheTransmitReferenceCallLeavesTheBatchToGo) {
    if (const Limit* limit = LimitOf(Clause::TransmitReference)) {
        GTEST_SKIP() << limit->reason;
    }
    ASSERT_EQ(Open(PEER), 1u) << kelvix::LastOpenError();
    ASSERT_EQ(Open(SUBJECT), 1u) << kelvix::LastOpenError();
    // Type 30 before a channel block, type 3 before a filter block or a request.
    struct Reference {
        std::uint32_t refType;
        std::uint32_t channel;
    };
    for (const Reference& call :
         {Reference{30, 0}, Reference{30, 1}, Reference{3, 0}, Reference{3, 1}}) {
        SCOPED_TRACE("type " + std::to_string(call.refType) + " on channel " +
                     std::to_string(call.channel));
        std::uint32_t transmitReference = 1000;
        EXPECT_EQ(VCI_SetReference(TYPE, SUBJECT, call.channel, call.refType, &transmitReference),
                  1u);
        EXPECT_EQ(transmitReference, 1000u) << "the value is the program's, not the library's";
        const std::vector<CanFrameRecord> batch = {
            DataFrame(0x500 + call.refType, static_cast<std::uint8_t>(call.channel)),
            DataFrame(0x580 + call.refType, 0x77)};
        EXPECT_EQ(VCI_Transmit(TYPE, SUBJECT, call.channel, batch.data(), 2), 2u);
        ExpectSameFrames(ReceiveFrames(PEER, call.channel, 2), batch);
    }
}

}  // namespace quillon::test
