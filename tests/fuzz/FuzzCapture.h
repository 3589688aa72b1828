#pragma once
// Runs one importer on one fuzz input. A refusal (CqzCaptureError) is expected; anything else
// escaping, a crash, or a refusal that leaves labels registered is a finding. The text
// importers also read the input as a file, in blocks of a few bytes (the streaming paths),
// and must come to the same result as from memory.

#include "capture/CqzCaptureError.h"
#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// What an import came to: the refusal, or the table's size.
template <typename F> std::string FuzzImport(F&& import)
{
    CqzLabelMgr& labels = CqzLabelMgr::Instance();
    labels.Reset();
    std::string outcome;
    try
    {
        auto data = import();
        if (!data || data->GetTableCount() != 1)
            std::abort();
        const CqzDataTable& table = *data->GetTable(0);
        outcome = std::to_string(table.GetRowCount()) + " rows, " +
                  std::to_string(table.GetColumnCount()) + " columns";
    }
    catch (const CqzCaptureError& error)
    {
        if (!labels.GetLabels().empty())
            std::abort(); // a refused import must not leave labels behind
        outcome = error.GetPlace() + ": " + error.GetReason();
    }
    labels.Reset();
    return outcome;
}

// Options picked by the input's first byte: small limits, notes and progress taken.
inline SqzCaptureOptions FuzzOptions(std::uint8_t pick)
{
    SqzCaptureOptions options;
    options.readBlockBytes = 1 + (pick & 15);
    if (pick & 16)
        options.maxLineBytes = options.maxFieldBytes = 24;
    if (pick & 32)
        options.memoryLimit = 2048;
    options.note = [](const std::string& note)
    {
        if (note.empty())
            std::abort();
    };
    options.progress = [](std::uint64_t done, std::uint64_t total)
    {
        if (total != 0 && done > total)
            std::abort();
    };
    return options;
}

// Imports the text from memory and from a file read in small blocks; aborts when they differ.
template <typename Importer> void FuzzTextImport(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1)
        return;
    const SqzCaptureOptions options = FuzzOptions(bytes[0]);
    const std::string_view text(reinterpret_cast<const char*>(bytes + 1), size - 1);
    const std::string fromMemory =
        FuzzImport([&] { return Importer(options).ImportText(text, "fuzz"); });
    const int fd = memfd_create("fuzz", 0);
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::abort();
    const std::string fromFile = FuzzImport(
        [&] { return Importer(options).ImportFile("/proc/self/fd/" + std::to_string(fd)); });
    close(fd);
    if (fromMemory != fromFile)
        std::abort();
}
