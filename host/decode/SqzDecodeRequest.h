#pragma once
// What a person asked to decode (--decode, repeatable; --decode-rate) and what the capture
// tells about its samples. Filled by the host from its command line, read by CqzDecodeRunner.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CqzMemoryBudget;

struct SqzDecodeRequest
{
    // One decoder stack each, in the command line's syntax: "spi:clk=D2:mosi=D1:cpol=0",
    // "i2c:scl=SCL:sda=SDA,eeprom24xx".
    std::vector<std::string> stacks;
    // --decode-rate in Hz; 0: the capture's samplerate, else the step of its times.
    std::uint64_t rate = 0;
    // The samplerate a session archive records; 0 when the capture has none.
    std::uint64_t captureRate = 0;
    // The most samples one decode may feed.
    std::uint64_t maxSamples = 1000000000;
    // The run's memory budget: each decoded table is held there before it is made, and a
    // table that would pass the limit is refused (CqzMemoryLimitError). Null: not counted.
    CqzMemoryBudget* budget = nullptr;
    // Told the samples fed so far of the total; answering false stops the decoding.
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
};
