// Fuzz target: value change dumps.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzVcdImporter.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    FuzzImport([&] { return CqzVcdImporter().ImportText(text, "fuzz.vcd"); });
    return 0;
}
