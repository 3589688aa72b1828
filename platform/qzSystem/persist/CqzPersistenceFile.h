#pragma once
// Whole-file reads and crash-safe writes of setup files (through CqzFileWriter, so the target
// holds either its old or its new content, never a part). Failures throw
// CqzPersistenceException naming the file and the system's reason.

#include "mfc/CString.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CqzPersistenceFile
{
public:
    // Refuses files larger than maxSize before reading them.
    static std::vector<std::uint8_t> Read(const CString& path, std::size_t maxSize);
    static void WriteAtomic(const CString& path, const std::vector<std::uint8_t>& data);
};
