// Fuzz target: session archives, read by libzip straight from the input bytes. The first byte
// picks options (bus grouping, one row per sample, a small memory limit) so those paths are
// reached too.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzSrImporter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1)
        return 0;
    SqzCaptureOptions options;
    options.rowPerSample = (bytes[0] & 1) != 0;
    options.autoBuses = (bytes[0] & 2) != 0;
    if (bytes[0] & 4)
        options.buses.push_back({"BUS", {bytes[0] >> 5, 1, 0}});
    if (bytes[0] & 8)
        options.memoryLimit = 4096;
    options.note = [](const std::string& note)
    {
        if (note.empty())
            std::abort();
    };
    FuzzImport([&] { return CqzSrImporter(options).ImportBuffer(bytes + 1, size - 1, "fuzz.sr"); });
    return 0;
}
