// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the commands of one line against the command tree, keeping the place when a command
// has to wait (*OPC? during a sweep), and collects the answers of its queries.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/remote_instrument.h"

namespace veka {

class LineRunner {
  public:
    explicit LineRunner(std::string_view line);

    // Runs on from where it stopped. True when the line is done; false when a command waits
    // for the instrument to become idle (call again then).
    bool run(RemoteInstrument& instrument);

    // The answer line (queries' answers joined by ';'); nothing when no query answered.
    std::optional<std::string> answer() const;

  private:
    std::vector<ScpiParsed> commands_;
    size_t next_ = 0;
    const ScpiTree::Node* prefix_ = nullptr;
    std::vector<std::string> answers_;
};

}  // namespace veka
