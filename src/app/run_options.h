// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every front does with the options that hold for one run only: the device for the
// configured port number on top of the per-user choices, and the language section; and the
// start-up that every front runs with them.

#include "app/command_line.h"
#include "link/port_names.h"
#include "measure/netzwerktester.h"
#include "remote/peer_access.h"
#include "state/instrument.h"

namespace veka {

// The per-user choices, with --port for the configured port number; set them on the device
// link before the start-up runs.
PortPaths portPathsFor(const ProgramOptions& opts);
// --lang, after the start-up: the section becomes the language of this run.
void applyLanguageOption(Instrument& inst, const ProgramOptions& opts);

// The start-up of every front: the devices for this run, FormCreate with the configuration
// file, then the language option.
void startUp(Netzwerktester& logic, const ProgramOptions& opts);

// Who may connect to the remote server: this user from this computer, and the networks of
// --remote-allow.
PeerAccess peerAccessFor(const RemoteEndpoint& where);

// One line on standard error when the remote server cannot listen; returns the exit status.
int cannotListen(const RemoteEndpoint& where, const std::string& why);

}  // namespace veka
