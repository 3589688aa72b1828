#pragma once
// Reads an FST waveform file (the indexed, compressed dump format simulators write) into a
// data set of one table, with the labels, values and times the value change dump of the same
// simulation gives (CqzVcdImporter): the same names (CqzCaptureVars), one row per time, x and
// z digits kept (status 4), reals and strings as text, times in picoseconds.
//
// - Time: the file's timescale, 1, 10 or 100 s down to fs; a time that is not a whole number
//   of picoseconds is refused. The time zero offset a file may record is not applied, as the
//   value change dump importer ignores it too.
// - Values: 0 1 x z digits; the further logic levels a VHDL dump may hold read as their
//   nearest: h as 1, l as 0, u w - as x. Variables sharing a value handle (aliases) each get
//   their label and all take its changes.
// - Safety: the block structure is checked first (CqzFstLayout), then the file is read by the
//   FST reader in a child process (CqzFstReaderProcess); whatever the reader makes of a
//   damaged file, the import is refused with "file: what is wrong" and nothing stays
//   registered. The table is kept within the memory limit.
// - Progress is reported per value change block, notes (a variable too wide) as the other
//   importers do.

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <memory>
#include <string>

class CqzFstImporter
{
public:
    explicit CqzFstImporter(const SqzCaptureOptions& options = SqzCaptureOptions());
    ~CqzFstImporter();

    // Throws CqzCaptureError when the file is not a readable FST file.
    std::unique_ptr<CqzData> ImportFile(const std::string& path) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
