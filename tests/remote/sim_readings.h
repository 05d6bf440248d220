#pragma once
// What the window makes of the simulator's reply to one exchange: the display value of a
// point in modes 1 to 3 with the factor pair used.

#include <algorithm>

#include "measure/sweep.h"
#include "reply.h"

namespace veka::test {

inline int32_t anzeigewert(const vekasim::Options& o, const vekasim::Exchange& ex,
                           const Korrfaktorpaar& k) {
    const auto bytes = vekasim::frameReply(o, ex.word, ex.control);
    return std::max(korrigiert(bytes.at(0), k), 1);
}

}  // namespace veka::test
