#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Sets up a sweep on a running veka over its remote interface, runs it, polls for its
completion, reads the trace as a binary block and prints the numeric results.

Start veka first, with its window or without:
    veka --remote                      # beside the window, 127.0.0.1:5025
    veka --remote --no-window          # headless bench
then:
    python3 remote_example.py [HOST [PORT]]

Plain sockets only; with PyVISA the same commands go through the resource
TCPIP::127.0.0.1::5025::SOCKET (read_termination and write_termination "\\n").
"""
import socket
import struct
import sys
import time


class Instrument:
    def __init__(self, host="127.0.0.1", port=5025):
        self.sock = socket.create_connection((host, port), timeout=60)
        self.file = self.sock.makefile("rwb")

    def write(self, line):
        self.file.write(line.encode("ascii") + b"\n")
        self.file.flush()

    def query(self, line):
        self.write(line)
        return self.file.readline().decode("ascii").strip()

    def query_block(self, line):
        """An IEEE 488.2 definite-length block: #<n><length><bytes>, then the newline."""
        self.write(line)
        if self.file.read(1) != b"#":
            raise RuntimeError("no block")
        length = int(self.file.read(int(self.file.read(1))))
        data = self.file.read(length)
        self.file.readline()
        return data

    def check(self):
        errors = self.query("SYST:ERR:ALL?")
        if not errors.startswith("0,"):
            raise RuntimeError(errors)


def main():
    host = sys.argv[1] if len(sys.argv) > 1 else "127.0.0.1"
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 5025
    vna = Instrument(host, port)
    print(vna.query("*IDN?"))
    vna.write("*RST;*CLS")
    # Transmission, logarithmic detector, 10.0 to 10.279 MHz in 280 points of 1 kHz.
    vna.write("SENS:MODE TRAN;DET LOG;:FREQ:STAR 10 MHZ;STEP 1 kHz;:SWE:POIN 280")
    vna.write("SOUR:ATT 0 DB")
    vna.check()
    # One complete sweep; poll the operation complete bit instead of blocking.
    vna.write("*ESE 1;INIT;*OPC")
    while not int(vna.query("*ESR?")) & 1:
        time.sleep(0.1)
    vna.write("FORM REAL,32;BORD NORM")
    levels = struct.unpack(">%df" % 280, vna.query_block("TRAC:LEV?"))
    vna.write("FORM ASC")
    frequency, level = vna.query("CALC:MAX?").split(",")
    print("maximum:   %s Hz, %s dB" % (frequency, level))
    lower, upper, width = (float(v) for v in vna.query("CALC:BAND?").split(","))
    if width < 9.9e37:
        print("bandwidth: %d Hz from %d Hz to %d Hz" % (width, lower, upper))
    else:
        print("bandwidth: none (the curve does not fall off on both sides)")
    print("points:    %d levels from %.1f to %.1f dB" % (len(levels), min(levels), max(levels)))
    vna.check()


if __name__ == "__main__":
    main()
