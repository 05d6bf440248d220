// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame_assembler.h"

namespace vekasim {

void FrameAssembler::feed(const uint8_t* data, size_t size, Clock::time_point arrival,
                          const Sink& sink) {
    for (size_t i = 0; i < size; ++i) {
        m_bytes[m_count++] = data[i];
        if (m_count == 4) m_wordComplete = arrival;
        if (m_count < m_bytes.size()) continue;
        m_count = 0;
        const uint32_t word = uint32_t{m_bytes[0]} | uint32_t{m_bytes[1]} << 8 |
                              uint32_t{m_bytes[2]} << 16 | uint32_t{m_bytes[3]} << 24;
        const auto gap =
            std::chrono::duration_cast<std::chrono::microseconds>(arrival - m_wordComplete);
        sink(Frame{word, m_bytes[4], gap.count(), arrival});
    }
}

}  // namespace vekasim
