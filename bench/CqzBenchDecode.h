#pragma once
// Protocol decoding against sigrok-cli on the shared real captures (SPI, I2C, UART): the
// capture loaded and decoded in this process (CqzDecodeRunner, the decoder library started
// beforehand, as a running program has it), and sigrok-cli run on the same file with the same
// decoder, its annotations written to /dev/null. Both read the file and decode; the target
// compares those wall-clock times.

#include <string>
#include <vector>

class CqzBenchDecode
{
public:
    struct SqzResult
    {
        std::string name;
        double loadSeconds = 0;
        double decodeSeconds = 0;
        double decodeCpuSeconds = 0; // process CPU time, the decoder thread included
        std::size_t annotations = 0;
        double sigrokSeconds = 0;
        double sigrokCpuSeconds = 0;
        bool sigrokRan = false;
    };

    // `captures`: the folder holding the shared captures.
    explicit CqzBenchDecode(std::string captures);
    // Starts the decoder library (timed: GetStartSeconds), then runs every case.
    std::vector<SqzResult> Run();
    double GetStartSeconds() const { return m_startSeconds; }

private:
    std::string m_captures;
    double m_startSeconds = 0;
};
