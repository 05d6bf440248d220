// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user choice of device for each port number, kept in the user's configuration place
// (QSettings, e.g. ~/.config/veka/veka.conf) - never in the configuration files, whose bytes
// stay as they are. The file is read like every other one: only when it is a regular file of
// at most MaxSettingsBytes; otherwise the choices are empty, nothing is stored, and one line
// on standard error says why. Saving replaces the whole file safely (files/safe_file.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/port_names.h"

namespace veka {

// Far above any real settings file (a few hundred bytes).
inline constexpr size_t MaxSettingsBytes = size_t{1} << 20;

// The stored choices for ports 1..9.
PortPaths loadPortChoices();
// Stores (or, with an empty device, forgets) the choice for port 1..9.
void storePortChoice(int32_t comport, const std::string& device);

}  // namespace veka
