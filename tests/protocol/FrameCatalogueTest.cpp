// Every frame's name and whether it crosses the bus plain, at the edges of
// each identifier range (identifiers written out, not taken from the catalogue).
#include "protocol/FrameCatalogue.hpp"

#include <gtest/gtest.h>

namespace quillon::protocol {
namespace {

CanFrameRecord Frame(std::uint32_t id, bool extended, bool remote = false) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.RemoteFlag = remote ? 1 : 0;
    frame.DataLen = 8;
    return frame;
}

TEST(FrameCatalogueTest, NamesEachFrameAtTheEdgesOfItsRange) {
    const struct {
        std::uint32_t id;
        bool extended;
        bool remote;
        bool fromPc;
        const char* name;
    } rows[] = {
        {0x003, true, false, true, "recording filter 0 kind and interval"},
        {0x02A, true, false, true, "recording filter 19 identifier range"},
        {0x02B, true, false, true, "unknown extended frame"},
        {0x11C, true, false, false, "acceptance filter 13 value and mask"},
        {0x11D, true, false, false, "unknown extended frame"},
        {0x23B, true, false, true, "bridge rule 9 part 5"},
        {0x23C, true, false, true, "unknown extended frame"},
        {0x327, true, false, true, "replay rule 9 part 3"},
        {0x001, true, true, true, "erase command"},
        {0x002, true, true, true, "program command"},
        {0x001, false, false, true, "firmware image data"},
        {0x001, false, false, false, "identity: serial bytes 0-7"},
        {0x00F, false, false, true, "unknown standard frame"},
        {0x010, false, false, true, "DTU parameter"},
        {0x03F, false, false, true, "DTU parameters end"},
        {0x0F0, false, false, true, "debug text to device"},
        {0x0F3, false, false, false, "debug message level 3"},
        {0x0F4, false, false, false, "unknown standard frame"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Describe(Frame(row.id, row.extended, row.remote), row.fromPc), row.name)
            << std::hex << row.id;
    }
}

TEST(FrameCatalogueTest, OnlyTheReadRequestAndTheUpgradesFramesGoPlain) {
    EXPECT_TRUE(SentPlain(Frame(6, false)));
    EXPECT_TRUE(SentPlain(Frame(1, false)));
    EXPECT_TRUE(SentPlain(Frame(1, true, true)));
    EXPECT_TRUE(SentPlain(Frame(2, true, true)));
    for (const auto& enciphered : {Frame(6, true), Frame(1, true), Frame(7, false), Frame(0, false),
                                   Frame(0xF0, false), Frame(0x3F, false)}) {
        EXPECT_FALSE(SentPlain(enciphered)) << std::hex << enciphered.ID;
    }
}

}  // namespace
}  // namespace quillon::protocol
