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

// The source of the labels the capture importers add when the host names no other: a fixed
// identifier of the importer family, so that label identifiers derived from it
// (CqzCaptureLabelID) are the same in every run.
inline const CqzID kqzCaptureImporterID{
    GUID{0x5d3c8e21, 0x7a4f, 0x4b19, {0x9e, 0x62, 0x1c, 0x8d, 0x3f, 0x70, 0xa4, 0x15}}};

struct SqzCaptureOptions
{
    // Logic captures (.sr): buses to build; their channels are not imported one by one.
    std::vector<SqzCaptureBus> buses;
    // Logic captures: channels named NAME[0], NAME[1], ... (contiguous indexes, at least two)
    // become one bus NAME, bit i from NAME[i].
    bool autoBuses = true;
    // Logic captures: one row per sample instead of one row per change of any channel.
    bool rowPerSample = false;
    // The source recorded in each label the importer adds; label identifiers are derived from
    // it and the label name.
    CqzID sourceID = kqzCaptureImporterID;
};
