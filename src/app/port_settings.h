#pragma once
// The per-user choice of device for each port number, kept in the user's configuration place
// (QSettings, e.g. ~/.config/veka/veka.conf) - never in the configuration files, whose bytes
// stay as they are.

#include <cstdint>
#include <string>

#include "link/port_names.h"

namespace veka {

// The stored choices for ports 1..9.
PortPaths loadPortChoices();
// Stores (or, with an empty device, forgets) the choice for port 1..9.
void storePortChoice(int32_t comport, const std::string& device);

}  // namespace veka
