#pragma once
// Choices a person can make about how a capture becomes labels. Filled by the host from its
// command line and handed to the importers by value.

#include "qzSystem/ids/CqzID.h"

#include <string>
#include <vector>

// One bus made of logic channels: channels[0] is bit 0 (least significant), channels[1] bit 1,
// and so on. Channel numbers count from 0 (the session file's probe1 is channel 0).
struct SqzCaptureBus
{
    std::string name;
    std::vector<int> channels;
};

struct SqzCaptureOptions
{
    // Logic captures (.sr): buses to build; their channels are not imported one by one.
    std::vector<SqzCaptureBus> buses;
    // Logic captures: channels named NAME[0], NAME[1], ... (contiguous indexes, at least two)
    // become one bus NAME, bit i from NAME[i].
    bool autoBuses = true;
    // Logic captures: one row per sample instead of one row per change of any channel.
    bool rowPerSample = false;
    // The source recorded in each label the importer adds.
    CqzID sourceID{GUID{}};
};
