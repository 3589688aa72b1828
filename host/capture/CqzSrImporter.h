#pragma once
// Reads a logic analyzer session archive (.sr: a zip holding `version`, `metadata` and the raw
// logic samples in `logic-1` or the chunks `logic-1-1` .. `logic-1-N`) into a data set of one
// table: a time column and one label per channel or bus.
//
// - Channels are 1-bit digital labels named after their probes; unnamed or number-only probes
//   are called D<channel> (channel = probe number - 1).
// - Buses: each SqzCaptureOptions::buses entry makes one digital label of its channels (bit 0
//   first); with autoBuses, channels named NAME[0], NAME[1], ... (contiguous from any index,
//   two or more) become one bus NAME. Channels in a bus are not imported one by one. Labels
//   come in the order of their lowest channel.
// - Rows: one row per change of any channel, at the time of the sample where the change is
//   seen (sample n at n / samplerate, in picoseconds rounded down), plus a last row at the
//   last sample so that the table spans the whole capture; or, with rowPerSample, one row per
//   sample.
// - Samples of 1 to 16 bytes (unitsize), little-endian, channel c at bit c. A sample may be
//   split across chunks; data that ends inside a sample is refused, and so is an archive
//   that lacks one of the numbered chunks.
// - Analog channels are not imported: each is skipped with a note naming it.
// - Memory: the archive is read entry by entry in blocks. With rowPerSample the rows are
//   known before reading: an import that needs more memory than it may use is refused at
//   once, with the figure; one row per change is checked as it grows.
// Malformed input throws CqzCaptureError "file:entry: what is wrong"; nothing is returned then
// and no label stays registered.

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <cstddef>
#include <memory>
#include <string>

class CqzSrImporter
{
public:
    explicit CqzSrImporter(const SqzCaptureOptions& options = SqzCaptureOptions());
    ~CqzSrImporter();

    std::unique_ptr<CqzData> ImportFile(const std::string& path) const;
    // The archive held in memory (not copied; it must outlive the call); `name` stands for the
    // file in messages.
    std::unique_ptr<CqzData> ImportBuffer(const void* bytes, std::size_t size,
                                          const std::string& name) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
