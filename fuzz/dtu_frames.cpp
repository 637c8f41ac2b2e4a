// Any sequence of DTU frames into the simulated device's reassembly: never a
// read past a frame's eight bytes or a field's capacity, and a sequence the
// reader calls complete re-encodes to the records it produced.
#include <vector>

#include "fuzz/FuzzInput.hpp"
#include "protocol/DtuFrameReader.hpp"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    std::vector<CanFrameRecord> frames;
    while (!input.Empty()) {
        CanFrameRecord frame = input.Frame();
        // Mostly the identifiers the sequence uses, so runs get assembled.
        if ((frame.ID & 0x400) == 0) {
            frame.ID = 0x10 + frame.ID % 0x30;
            frame.ExternFlag = 0;
        }
        frames.push_back(frame);
    }
    const auto reader = protocol::DtuFrameReader::Read(frames);
    (void)reader.Complete();
    (void)reader.Basic().ToBytes();
    (void)reader.Advanced().ToBytes();
    return 0;
}
