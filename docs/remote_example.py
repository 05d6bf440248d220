#!/usr/bin/env python3
"""Sets up a sweep on a running veka over its remote interface, runs it and prints the bandwidth.

Start veka first, with its window or without:
    veka --remote 5025                 # beside the window
    veka --remote 5025 --no-window     # headless bench
then:
    python3 remote_example.py [HOST [PORT]]
"""
import socket
import sys


class Veka:
    def __init__(self, host="127.0.0.1", port=5025):
        self.sock = socket.create_connection((host, port), timeout=60)
        self.file = self.sock.makefile("rwb")

    def send(self, line):
        self.file.write(line.encode("ascii") + b"\n")
        self.file.flush()

    def ask(self, line):
        self.send(line)
        answer = self.file.readline().decode("utf-8").strip()
        if answer.startswith("ERROR"):
            raise RuntimeError(answer)
        return answer

    def check(self):
        error = self.ask("SYST:ERR?")
        if not error.startswith("0,"):
            raise RuntimeError(error)


def texts(answer):
    """The quoted texts of a CALCulate answer: '"a","b"' -> ['a', 'b']."""
    return [t.strip('"') for t in answer.split('","')]


def main():
    host = sys.argv[1] if len(sys.argv) > 1 else "127.0.0.1"
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 5025
    veka = Veka(host, port)
    print(veka.ask("*IDN?"))
    # Transmission, logarithmic detector, 10.0 to 10.28 MHz in 280 points of 1 kHz.
    veka.send("*RST")
    veka.send("SENS:MODE TRAN;DET LOG;FREQ:STAR 10000000;STEP 1000;:SENS:SWE:POIN 280")
    veka.send("SOUR:ATT 0")
    veka.check()
    # One complete sweep; *OPC? answers once it has completed.
    veka.ask("INIT:IMM;*OPC?")
    veka.check()
    print("maximum:  ", texts(veka.ask("CALC:MAX?"))[0])
    lower, upper, width = texts(veka.ask("CALC:BAND?"))
    if width:
        print("bandwidth:", width, "from", lower, "to", upper)
    else:
        print("bandwidth: none (the curve does not fall off on both sides)")
    levels = [float(v) for v in veka.ask("TRAC:LEV?").split(",")]
    print("points:   ", len(levels), "levels from", min(levels), "to", max(levels), "dB")


if __name__ == "__main__":
    main()
