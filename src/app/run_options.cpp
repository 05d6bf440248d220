// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/run_options.h"

#include <cstdio>

#include "app/headless.h"
#include "app/port_settings.h"
#include "files/sprache.h"

namespace veka {

PortPaths portPathsFor(const ProgramOptions& opts) {
    PortPaths paths = loadPortChoices();
    if (opts.port) paths.setRunDevice(*opts.port);
    return paths;
}

void applyLanguageOption(Instrument& inst, const ProgramOptions& opts) {
    if (!opts.lang) return;
    inst.e.Sprache = *opts.lang;
    Sprache_setzen(inst, *opts.lang);
}

void startUp(Netzwerktester& logic, const ProgramOptions& opts) {
    logic.link().setPortPaths(portPathsFor(opts));
    logic.FormCreate(opts.configFile);
    applyLanguageOption(logic.inst(), opts);
}

PeerAccess peerAccessFor(const RemoteEndpoint& where) {
    std::vector<AllowedNet> nets;
    for (const std::string& net : where.allowed)
        nets.push_back(QHostAddress::parseSubnet(QString::fromStdString(net)));
    return PeerAccess(std::move(nets));
}

int cannotListen(const RemoteEndpoint& where, const std::string& why) {
    std::fprintf(stderr, "veka: cannot listen on %s:%u: %s\n", where.address.c_str(),
                 static_cast<unsigned>(where.port), why.c_str());
    return kExitNoListen;
}

}  // namespace veka
