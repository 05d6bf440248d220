#include "remote/trace_store.h"

#include <string>

#include "export/exporter.h"

namespace veka {

void storeTraceFile(Netzwerktester& logik, UserInterface& ui) {
    std::string angeboten;  // the window's dialog memory is the window's own
    Exportieren1Click(logik.inst(), ui, angeboten);
}

}  // namespace veka
