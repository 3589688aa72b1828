#!/usr/bin/env python3
"""Writes bus-sample.vcd: a made-up 16-bit memory bus for the qzfilter examples.

Signals (one row every 10 ns, 400 rows):
  ADDR  16-bit address        DATA  16-bit data       STAT  8-bit state
  WR    1 on writes           IRQ   interrupt line    COUNT 32-bit transfer counter (integer)
  MSG   text: idle, read, write, irq_ack, err_parity, err_timeout

STAT: 0x00 idle, 0x31..0x34 read beats, 0x38..0x3b write beats, 0x5a interrupt
acknowledge, 0x8x errors. Deterministic: the same file on every run.
"""
import sys

ROWS = 400
PERIOD_NS = 10


class Rng:
    """A small linear congruential generator, so the output never depends on Python's."""

    def __init__(self, seed):
        self.state = seed

    def next(self, limit):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % limit


def bus_rows():
    rng = Rng(2024)
    addr, data, count = 0xFFF0, 0, 0
    rows = []
    while len(rows) < ROWS:
        kind = rng.next(10)
        if kind < 3:  # idle stretch
            for _ in range(2 + rng.next(12)):
                rows.append((addr, data, 0x00, 0, 0, count, "idle"))
        elif kind < 6 or kind == 9:  # read burst, mostly in the 0x1000 page
            addr = (0x1000 if rng.next(3) else 0x4000) + 4 * rng.next(0x400)
            for beat in range(4):
                data = rng.next(0x10000)
                count += 1
                failed = kind == 9 and beat == 2
                stat = 0x81 if failed else 0x31 + beat
                rows.append((addr + beat, data, stat, 0, 0, count,
                             "err_parity" if failed else "read"))
                if failed:
                    break
        elif kind < 8:  # write burst, some to the top page
            addr = (0xFF00 if rng.next(4) == 0 else 0x2000) + 4 * rng.next(0x40)
            for beat in range(4):
                data = 0xDEAD if rng.next(8) == 0 else rng.next(0x10000)
                count += 1
                rows.append((addr + beat, data, 0x38 + beat, 1, 0, count, "write"))
        else:  # interrupt, sometimes answered late
            rows.append((addr, data, 0x00, 0, 1, count, "idle"))
            late = rng.next(3) == 0
            rows.append((0x0004, data, 0x84 if late else 0x5A, 0, 1, count,
                         "err_timeout" if late else "irq_ack"))
    return rows[:ROWS]


def vcd_text(rows):
    out = ["$date made by make-bus-sample.py $end",
           "$version qzfilter sample $end",
           "$timescale 1 ns $end",
           "$scope module sample_bus $end",
           "$var wire 16 a ADDR [15:0] $end",
           "$var wire 16 d DATA [15:0] $end",
           "$var wire 8 s STAT [7:0] $end",
           "$var wire 1 w WR $end",
           "$var wire 1 i IRQ $end",
           "$var integer 32 c COUNT $end",
           "$var string 1 m MSG $end",
           "$upscope $end",
           "$enddefinitions $end"]
    previous = None
    for index, row in enumerate(rows):
        out.append("#%d" % (index * PERIOD_NS))
        addr, data, stat, wr, irq, count, msg = row
        values = [("b{:b} a".format(addr)), ("b{:b} d".format(data)), ("b{:b} s".format(stat)),
                  "%dw" % wr, "%di" % irq, "b{:b} c".format(count), "s%s m" % msg]
        for position, value in enumerate(values):
            if previous is None or previous[position] != row[position]:
                out.append(value)
        previous = row
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "bus-sample.vcd"
    with open(target, "w", encoding="ascii") as stream:
        stream.write(vcd_text(bus_rows()))
