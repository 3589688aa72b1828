#include "capture/CqzCaptureFile.h"

#include "capture/CqzCaptureError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::string CqzCaptureFile::ReadAll(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file)
        throw CqzCaptureError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    std::string bytes;
    // The size up front spares the copies of a growing buffer (a guess only: reading decides).
    if (std::fseek(file.get(), 0, SEEK_END) == 0)
    {
        const long size = std::ftell(file.get());
        if (size > 0)
            bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(file.get());
    }
    char block[1 << 16];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof block, file.get())) > 0)
        bytes.append(block, n);
    if (std::ferror(file.get()))
        throw CqzCaptureError(path, 0, "cannot read the file");
    return bytes;
}
