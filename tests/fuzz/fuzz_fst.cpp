// Fuzz target: FST files. The first byte picks the limits; the rest is the file, read through
// the layout check and the FST reader's child process. Whatever the reader does with it, the
// import must end in a table or a refusal.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzFstImporter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1)
        return 0;
    const SqzCaptureOptions options = FuzzOptions(bytes[0]);
    const int fd = memfd_create("fuzz.fst", 0);
    if (fd < 0 || write(fd, bytes + 1, size - 1) != static_cast<ssize_t>(size - 1))
        std::abort();
    FuzzImport([&]
               { return CqzFstImporter(options).ImportFile("/proc/self/fd/" + std::to_string(fd)); });
    close(fd);
    return 0;
}
