#pragma once
// Choices a person can make about how a capture becomes labels, and the limits and reports of
// an import. Filled by the host from its command line and handed to the importers by value.

#include "qzSystem/ids/CqzID.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CqzMemoryBudget;

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

class CqzCaptureGate;

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

    // The memory the stores of an import may take, in bytes. 0: the environment variable
    // QZFILTER_MEMORY_LIMIT (bytes, or a number with K, M, G or T, as in 512M, 512MB, 1.5G), else what the machine has
    // available (MemAvailable of /proc/meminfo). An import that would need more is refused.
    std::uint64_t memoryLimit = 0;
    // The budget of the run the import is part of (the host's CqzMemoryBudget::Run(), whose
    // limit it has set); the import holds the table's memory there as "the capture". Null: a
    // budget of the import's own with the limit above.
    CqzMemoryBudget* budget = nullptr;
    // Bytes a row will take after the import (a filter run's records), set aside in the
    // budget for the filter's output, so that a capture the run could not afford is refused
    // first.
    std::uint64_t runBytesPerRow = 0;
    // The longest line of a CSV file, in bytes.
    std::size_t maxLineBytes = std::size_t{16} << 20;
    // The longest field of a CSV line or word of a value change dump, in bytes.
    std::size_t maxFieldBytes = std::size_t{1} << 20;
    // The bytes a text importer reads from its file at a time (tests and fuzzing make it
    // small to reach the paths where a line or word spans blocks).
    std::size_t readBlockBytes = std::size_t{1} << 20;

    // Told each note of an import (a channel skipped, and why), ready to show. May be empty.
    std::function<void(const std::string&)> note;
    // Told the samplerate of a capture that records one (a session archive), in Hz. May be
    // empty.
    std::function<void(std::uint64_t rate)> samplerate;
    // Told how far an import has read: bytes done of total (total 0 when unknown), at most
    // about once per block of input. May be empty.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // An import on a worker thread: the gate takes the data set when the import starts and
    // lets readers at it while it grows (the importer then hands over nothing at its end).
    // Null: the data set is handed over when complete.
    CqzCaptureGate* gate = nullptr;
};
