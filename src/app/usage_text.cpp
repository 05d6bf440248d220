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
      --count N          number of sweeps (default 1)
      --out FILE         .csv, .png, .svg, .pdf or .dat by its extension; repeatable
      --start HZ         start frequency for this run
      --step HZ          step between points for this run
      --points N         points per sweep, 1 to 300
      --mode MODE        transmission, reflection or spectrum
      --linear           linear detector instead of logarithmic

Remote control:
      --remote [ADDRESS:]PORT  accept SCPI commands over TCP (default 127.0.0.1:5025;
                         only the user running veka may connect from this computer)
      --remote-allow NET/PREFIX  computers of this network may connect too; needed for
                         an ADDRESS other than the loopback; repeatable
      --no-window        with --remote: run without any window or display

Without a device or port choice, port n is the file COMn in the working folder,
else /dev/ttyS(n-1); the settings dialog picks a device per port number.

Exit status: 0 success, 2 usage error, 3 no reply from the device, 4 a file that
cannot be written.
)";
}

}  // namespace veka
