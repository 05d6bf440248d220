// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

namespace veka {

std::string usageText() {
    return R"(Usage: veka [OPTIONS] [CONFIG-FILE]

Front end of the network tester on a serial port. CONFIG-FILE is the start-up
configuration (default vekami.cfg in the working folder; created when missing).
A file whose name starts with '-' is reached as ./-name or after '--'.

  -h, --help             show this text and exit
  -v, --version          show the version and exit
      --port DEVICE      use DEVICE (e.g. /dev/ttyUSB0, /dev/serial/by-id/...) for the
                         configured port number in this run; nothing is stored
      --list-ports       list the serial devices found with their state and exit
      --lang SECTION     apply this section of LANG.INI for this run

Batch mode (no window):
      --sweep            run complete sweeps and write the last one to the --out files
      --config FILE      the start-up configuration (instead of CONFIG-FILE)
      --count N          number of sweeps (default 1)
      --out FILE         .csv, .png, .svg, .pdf, .dat or .json by its extension;
                         repeatable; --out - writes the CSV table to standard output
      --summary FILE     the settings and results as JSON (.json)
      --start HZ         start frequency for this run
      --stop HZ          frequency of the last point (instead of --step)
      --center HZ        centre of the sweep, with --span HZ (instead of --start)
      --step HZ          step between points for this run, 1 Hz or more
      --points N         points per sweep, 1 to 300
      --mode MODE        transmission, reflection or spectrum
      --linear           linear detector instead of logarithmic
      --average N        average the last N sweeps (1 to 64); runs N sweeps unless --count
      --hold max|min     hold the highest or lowest value of each point
      --reference FILE   a CSV table as --out writes it: show the sweep against it
      --limits FILE      a limit table (frequency_hz,upper,lower): exit 6 when a sweep
                         leaves it

Remote control:
      --remote [ADDRESS:]PORT  accept SCPI commands over TCP (default 127.0.0.1:5025;
                         only the user running veka may connect from this computer)
      --remote-allow NET/PREFIX  computers of this network may connect too; needed for
                         an ADDRESS other than the loopback; repeatable
      --no-window        with --remote: run without any window or display

Without a device or port choice, port n is the file COMn in the working folder,
else /dev/ttyS(n-1); the settings dialog picks a device per port number.

Exit status: 0 success, 2 usage error or impossible sweep, 3 no usable port or no
reply from the device, 4 a file or folder that cannot be written, 6 a sweep left the
limit lines.
)";
}

}  // namespace veka
