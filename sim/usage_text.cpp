// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

namespace vekasim {

std::string usageText() {
    return R"(veka-sim - a stand-in for the network tester, for people without the hardware

Usage: veka-sim [options]

It creates a pseudo-terminal that behaves like the tester on its serial port and a
link COM<port> to it (default ./COM2). veka looks for a file or link named COM2 in its
working directory, so start both in the same directory, or point --dir at veka's.
Once the device is up it prints one line "ready DIR/COMN -> /dev/pts/K".
Ctrl+C (or SIGTERM) stops it and removes the link.

Line:
  --dir DIR            where to create the link (default: current directory)
  --port N             link name COM<N> (default 2)
  --clock HZ           nominal DDS clock (default 100000000)
  --clock-offset HZ    error of the real clock, may be negative or fractional (default 0)
  --line-timing        bytes take their real time on the line at the baud rate veka set:
                       its bytes reach the device, and the reply bytes reach veka, one
                       character time (10 bits with 8N1) apart
  --hide-round-trip[=MICROSECONDS]
                       with --line-timing: do not count the pseudo-terminal's own round
                       trip as line time (measured at start without a value); a request
                       counts as sent up to that much before it was seen, never before the
                       previous reply was due

Device under test:
  --dut NAME           through | open | bandpass | lowpass | antenna | short | matched |
                       source | calsignal (default bandpass)
  --centre HZ          centre of bandpass and antenna (default 10140000)
  --bandwidth HZ       3 dB bandwidth of the bandpass (default 100000)
  --cutoff HZ          cutoff of the 5th-order lowpass (default 10100000)
  --q Q                quality factor of the antenna resonance (default 20)
  --load OHM           resistive load instead of the antenna (50 = matched, 0 = short)
  --source-freq HZ     frequency of the signal for spectrum mode (default 10140000)
  --source-level DBM   its level (default -20); calsignal is 10 dBm
  --rbw HZ             resolution bandwidth of the spectrum display (default 10000)
  --level DB           fixed level at every frequency, overrides the device
  --noise DB           Gaussian noise of this standard deviation on every reading
  --seed N             start of the noise's random numbers (default 1), for repeatable runs
  --reply-bytes HEX[,HEX]  answer every frame with exactly these bytes, e.g. D2 or 34,C0

Faults, to see how veka copes:
  --silent             never answer
  --short-reply        in 10-bit mode send only the first byte
  --stale N            N stray bytes (0xEE) waiting in the line before the first exchange
  --stray N            N extra bytes (0xEE) after every answer
  --reply-delay MS     answer MS milliseconds late
  --vanish-after N     after N exchanges drop the line and remove the link (unplugged cable)

Other:
  --log FILE           append one line per exchange: word, control byte, frequency, gap
  --quiet              print nothing but the ready line
  -h, --help           this text
  --version            the version

Example, a 7 MHz bandpass, then veka in the same directory:
  veka-sim --dut bandpass --centre 7050000 --bandwidth 50000 --log sim.log &
  ./veka
)";
}

std::string versionText() {
    return std::string("veka-sim ") + VEKA_VERSION + "\n";
}

}  // namespace vekasim
