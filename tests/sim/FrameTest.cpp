#include "sim/Frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::string_literals;
using sim::Frame;
using sim::FrameKind;
using sim::FrameReader;

std::vector<Frame> Feed(FrameReader& reader, std::string_view bytes) {
    std::vector<Frame> frames;
    for (char b : bytes) {
        if (auto f = reader.Push(b)) frames.push_back(*f);
    }
    return frames;
}

TEST(SimFrame, BuildsBothFramesByteForByte) {
    EXPECT_EQ(sim::ChecksummedFrame("V"), std::string("\x02V\x03W\r"));
    EXPECT_EQ(sim::ChecksummedFrame("RV0"), std::string("\x02RV0\x03\x35\r"));
    EXPECT_EQ(sim::ChecksummedFrame(""), std::string("\x02\x03\x01\r"));
    EXPECT_EQ(sim::ShortFrame("+MV"), std::string("\x02+MV\r"));
    EXPECT_EQ(sim::Checksum("OK"), 0x05);
    EXPECT_EQ(sim::Checksum("0<"), 0x0D);
}

struct ReaderCase {
    const char* name;
    bool checksummed;
    std::string bytes;
    std::vector<Frame> expected;
};

class SimFrameReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(SimFrameReaderCases, CutsFramesOutOfTheStream) {
    FrameReader reader(GetParam().checksummed);
    const auto frames = Feed(reader, GetParam().bytes);
    ASSERT_EQ(frames.size(), GetParam().expected.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].kind, GetParam().expected[i].kind) << i;
        EXPECT_EQ(frames[i].text, GetParam().expected[i].text) << i;
        EXPECT_EQ(frames[i].checksumOk, GetParam().expected[i].checksumOk) << i;
    }
}

const std::string kOk = sim::ChecksummedFrame("OK");

INSTANTIATE_TEST_SUITE_P(
    Frames, SimFrameReaderCases,
    ::testing::Values(
        ReaderCase{"TwoFramesAndNoise",
                   true,
                   "\r\0xx"s + kOk + "\0"s + kOk,
                   {{FrameKind::Checksummed, "OK", true}, {FrameKind::Checksummed, "OK", true}}},
        ReaderCase{"TypeQueryInNativeMode", true, "\x02!\r\0"s, {{FrameKind::Short, "!", true}}},
        ReaderCase{
            "WrongChecksum", true, "\x02OK\x03\x06\r", {{FrameKind::Checksummed, "OK", false}}},
        // Texts whose checksums are CR, STX and ETX: the byte after ETX is always the checksum.
        ReaderCase{
            "ChecksumsEqualToControlBytes",
            true,
            sim::ChecksummedFrame("0<") + sim::ChecksummedFrame("03") + sim::ChecksummedFrame("02"),
            {{FrameKind::Checksummed, "0<", true},
             {FrameKind::Checksummed, "03", true},
             {FrameKind::Checksummed, "02", true}}},
        ReaderCase{
            "StxRestartsTheFrame", false, "\x02garbage\x02V\r", {{FrameKind::Short, "V", true}}},
        ReaderCase{
            "EtxIsTextInShortMode", false, "\x02V\x03W\r", {{FrameKind::Short, "V\x03W", true}}},
        ReaderCase{"OverlongFrameIsDropped",
                   false,
                   "\x02" + std::string(FrameReader::kMaxText + 10, 'a') + "\r\x02?\r",
                   {{FrameKind::Short, "?", true}}}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
