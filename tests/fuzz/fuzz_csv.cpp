// Fuzz target: delimited-text captures.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzCsvImporter.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    FuzzImport([&] { return CqzCsvImporter().ImportText(text, "fuzz.csv"); });
    return 0;
}
