#pragma once
// Reads a capture file whole into memory for the text importers.

#include <string>

class CqzCaptureFile
{
public:
    // The file's bytes; throws CqzCaptureError when it cannot be opened or read.
    static std::string ReadAll(const std::string& path);
};
