#pragma once
// Loads a capture file with the importer its format needs: by extension (.vcd; .csv, .tsv,
// .txt; .sr; .fst), else by content (a zip archive is a session, an FST header block an FST
// file, text starting with a '$' keyword a VCD, other text CSV).

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <memory>
#include <string>

enum EqzCaptureFormat
{
    eqzCaptureVcd,
    eqzCaptureCsv,
    eqzCaptureSr,
    eqzCaptureFst
};

class CqzCaptureLoader
{
public:
    // The format of a file; throws CqzCaptureError when it must look inside and cannot.
    static EqzCaptureFormat DetectFormat(const std::string& path);
    // Throws CqzCaptureError as the importers do.
    static std::unique_ptr<CqzData> Load(const std::string& path,
                                         const SqzCaptureOptions& options = SqzCaptureOptions());
};
