// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program makes of the simulator's reply to one exchange: the raw reading, and the
// display value of a point in modes 1 to 3 with the factor pair used.

#include <algorithm>

#include "measure/sweep.h"
#include "reply.h"

namespace veka::test {

// The 8-bit reading the device sent for an exchange (its noise included).
inline uint16_t rohwert(const vekasim::Options& o, const vekasim::Exchange& ex) {
    return ex.reply.empty() ? vekasim::frameReply(o, ex.word, ex.control).at(0) : ex.reply.at(0);
}

inline int32_t anzeigewert(const vekasim::Options& o, const vekasim::Exchange& ex,
                           const Korrfaktorpaar& k = {}) {
    return std::max(korrigiert(rohwert(o, ex), k), 1);
}

}  // namespace veka::test
