#pragma once
// Holds the FST reader to bounds in its child process. The reader trusts the file: on some
// damaged hierarchies it reads on at the end of its data for ever, a damaged size makes it
// read (and then walk through) gigabytes the file does not have, and sizes from the file make
// it ask for any amount of memory. Its source is built with its reads and its heap calls
// routed to this guard (host/capture/CMakeLists.txt); a reader past a bound ends the child at
// once with one of the exit statuses below.

#include <cstdint>

class CqzFstReaderGuard
{
public:
    enum EqzExit : int
    {
        eReadPastEnd = 5, // read a structure the file ends within, or went on reading at its end
        eHeapLimit = 6    // asked for more heap than it may hold
    };

    // In the child, before the reader runs: the most its heap may hold at once (0: no bound).
    static void Arm(std::uint64_t heapBytes);
};
