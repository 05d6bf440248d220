// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "sim/frame_assembler.h"

namespace vekasim {
namespace {

using Clock = FrameAssembler::Clock;

TEST(FrameAssembler, ReassemblesAnyPieces) {
    const std::vector<uint8_t> stream = {0x0A, 0x0D, 0x00, 0x1A, 0x14, 0xFF, 0xFE, 0xFD,
                                         0xFC, 0x00, 0x01, 0x02, 0x03, 0x04, 0x55};
    const std::vector<size_t> splits[] = {
        {15},
        {5, 5, 5},
        {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
        {4, 1, 4, 1, 4, 1},
        {2, 3, 7, 3},
        {1, 9, 5},
        {3, 4, 8},
        {14, 1},
    };
    for (const auto& split : splits) {
        ASSERT_EQ(std::accumulate(split.begin(), split.end(), size_t{0}), stream.size());
        FrameAssembler a;
        std::vector<Frame> frames;
        size_t at = 0;
        for (size_t piece : split) {
            a.feed(stream.data() + at, piece, Clock::now(),
                   [&](const Frame& f) { frames.push_back(f); });
            at += piece;
        }
        ASSERT_EQ(frames.size(), 3u) << split.size() << " pieces";
        EXPECT_EQ(frames[0].word, 0x1A000D0Au);
        EXPECT_EQ(frames[0].control, 0x14);
        EXPECT_EQ(frames[1].word, 0xFCFDFEFFu);
        EXPECT_EQ(frames[1].control, 0x00);
        EXPECT_EQ(frames[2].word, 0x04030201u);
        EXPECT_EQ(frames[2].control, 0x55);
        EXPECT_EQ(a.pending(), 0u);
    }
}

TEST(FrameAssembler, GapIsFromFourthToFifthByte) {
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    const auto t0 = Clock::time_point{} + std::chrono::seconds(100);
    const auto t1 = t0 + std::chrono::microseconds(1234);
    struct Case {
        size_t first;
        int64_t gap;
    };
    // The first piece arrives at t0, the rest at t1.
    for (const Case c : {Case{4, 1234}, Case{3, 0}, Case{1, 0}, Case{5, 0}}) {
        FrameAssembler a;
        std::vector<Frame> frames;
        const auto sink = [&](const Frame& f) { frames.push_back(f); };
        a.feed(bytes, c.first, t0, sink);
        a.feed(bytes + c.first, 5 - c.first, t1, sink);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].gapMicros, c.gap) << c.first;
    }
}

TEST(FrameAssembler, KeepsAPartialFrame) {
    FrameAssembler a;
    const uint8_t bytes[3] = {1, 2, 3};
    int frames = 0;
    a.feed(bytes, 3, Clock::now(), [&](const Frame&) { ++frames; });
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(a.pending(), 3u);
}

}  // namespace
}  // namespace vekasim
