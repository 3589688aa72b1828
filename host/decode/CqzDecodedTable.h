#pragma once
// Makes the table of one decoder from its annotations: one row per annotation, in the order of
// their start (the longer first where two start together, else as the decoder gave them), at
// the time of its start sample; annotations that start at the same sample follow each other a
// picosecond apart, since the evaluation places every table's rows by time. Labels, for a
// table named NAME:
//   NAME.time   the start time (the table's time column)
//   NAME.X      a number label per field of CqzDecodeFields (NAME.mosi, NAME.address, NAME.rw)
//   NAME.class  the annotation class ("mosi-data", "nack")
//   NAME.text   the annotation's longest text ("Address write: 20")
//   NAME.start, NAME.end   the start and end sample numbers
// Label identifiers come from the decoders' source identifier and the label name, the same in
// every run.

#include "CqzSampleClock.h"
#include "SqzDecodedAnnotations.h"
#include "qzSystem/data/CqzData.h"

#include <string>

class CqzDecodedTable
{
public:
    // The source of every decoded label.
    static const CqzID& SourceID();
    // The memory the table of these annotations takes, an upper bound: its records and
    // texts.
    static std::uint64_t MemoryOf(const SqzDecodedAnnotations& decoded);
    // Adds the table to the data set.
    static CqzDataTable& Add(CqzData& data, const std::string& name,
                             const SqzDecodedAnnotations& decoded, const CqzSampleClock& clock);
};
