// Fuzz target: FST files. The first byte picks the limits; the rest is the file, read through
// the layout check and the FST reader's child process. Whatever the reader does with it, the
// import must end in a table or a refusal.
#include "fuzz/FuzzCapture.h"

#include "capture/CqzFstImporter.h"

#include <cstdlib>

// The import's memory limit, which also holds the reader's heap in the child, stays below the
// fuzzer's own limit on a single allocation: its hook runs in the forked child too.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QZFILTER_MEMORY_LIMIT", "1G", 0);
    return 0;
}

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
