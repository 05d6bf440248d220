#include "app/run_options.h"

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

}  // namespace veka
