// Fuzz target: delimited-text captures, from memory and streamed from a file in small blocks.
// The first byte picks the block size and limits.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzCsvImporter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzTextImport<CqzCsvImporter>(bytes, size);
    return 0;
}
