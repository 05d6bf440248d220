// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which character devices are serial lines, as the kernel names them in its table of tty
// drivers (/proc/tty/drivers): the drivers of type "serial" (UARTs, USB adapters, ACM modems)
// and the slave side of pseudo-terminals. Consoles, /dev/tty, /dev/ptmx and every device that
// is no terminal at all (/dev/zero, a disk) are not, and are never opened as a port.

#include <sys/types.h>

#include <string_view>

namespace veka {

// Whether the device number belongs to a serial line; false when the table cannot be read.
bool isSerialLine(dev_t device);

// The same over a given table, one driver range a line: name, node, major, minor or
// "first-last", type.
bool isSerialLine(std::string_view driversTable, unsigned major, unsigned minor);

}  // namespace veka
