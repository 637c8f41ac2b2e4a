// The device's side of the DTU parameter frames: reassembles the deciphered
// DTU frames, in the order they arrive, back into DtuBasicPara and
// DtuAdvPara.
//
// A field is stored only once all of its frames arrived whole, so a torn or
// malformed sequence leaves a field as it was rather than half written. A
// malformed frame (no room for what it must carry, a run frame outside its
// run, a length above the field's capacity, an identifier the sequence does
// not use, a remote or extended frame, DataLen above 8) is skipped and
// counted; no frame is read past its eight data bytes.
//
// What the frames do not carry keeps the value the reader started from:
// checksum, heartbeatHex, regHex, apnModify, the unused bytes and the bytes
// past each field's length (except the zero byte the pages write after an
// address shorter than 32). Ports and the two minute values travel as their
// low 16 bits and are stored as such.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/kelvix/Kelvix.h"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"

namespace quillon::protocol {

class DtuFrameReader {
  public:
    /// Starts from the records the device holds now.
    explicit DtuFrameReader(const DtuBasicPara& basic = {}, const DtuAdvPara& advanced = {});

    /// Reassembles a whole sequence.
    static DtuFrameReader Read(std::span<const CanFrameRecord> frames,
                               const DtuBasicPara& basic = {}, const DtuAdvPara& advanced = {});

    /// Takes the next frame of the sequence.
    void Add(const CanFrameRecord& frame);

    /// Frames taken so far, skipped ones included.
    std::size_t FramesAdded() const { return framesAdded_; }
    /// The closing frame arrived.
    bool Ended() const { return ended_; }
    /// Ended, every field arrived whole and no frame was skipped.
    bool Complete() const;
    /// Frames skipped as malformed, and what was wrong with the first of them
    /// (for instance "DTU frame 3 (0x11): run frame 5 outside a run of 3
    /// frames"); empty when none was.
    std::size_t ProblemCount() const { return problemCount_; }
    const std::string& FirstProblem() const { return firstProblem_; }

    const DtuBasicPara& Basic() const { return basic_; }
    const DtuAdvPara& Advanced() const { return advanced_; }

  private:
    /// One variable-length field in flight: ⌊L/7⌋ + 1 frames of up to 7 bytes.
    struct Run {
        bool started = false;
        bool stored = false;
        std::size_t expected = 0;
        std::uint32_t framesSeen = 0;  ///< bit k: frame k arrived whole
        std::array<std::uint8_t, DtuBasicPara::MAX_PACKET> bytes{};
    };
    /// One phone number in flight: two frames.
    struct Phone {
        bool firstSeen = false;
        bool stored = false;
        PhoneSlot received{};
    };

    void Dispatch(std::uint32_t id, std::span<const std::uint8_t> data);
    void RunFirst(std::size_t field, std::span<const std::uint8_t> data);
    void RunNext(std::size_t field, std::span<const std::uint8_t> data);
    void RunChunk(std::size_t field, std::size_t k, std::span<const std::uint8_t> data);
    void StoreRun(std::size_t field);
    void PhoneFirst(std::size_t index, std::span<const std::uint8_t> data);
    void PhoneSecond(std::size_t index, std::span<const std::uint8_t> data);
    void StorePhone(std::size_t index);
    bool Fixed(std::uint32_t id, std::span<const std::uint8_t> data);
    void End(std::span<const std::uint8_t> data);
    void Problem(const std::string& what);

    DtuBasicPara basic_;
    DtuAdvPara advanced_;
    std::array<Run, 5> runs_;
    std::array<Phone, DtuAdvPara::SMS_PHONE_COUNT + 1> phones_;
    std::uint32_t fixedSeen_ = 0;  ///< bit per frame of fixed layout, in sending order
    bool ended_ = false;
    std::size_t framesAdded_ = 0;
    std::uint32_t currentId_ = 0;
    std::size_t problemCount_ = 0;
    std::string firstProblem_;
};

}  // namespace quillon::protocol
