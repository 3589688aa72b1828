#include "qzSystem/persist/CqzPersistenceFile.h"

#include "qzSystem/persist/CqzFileWriter.h"
#include "qzSystem/persist/CqzPersistenceException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
[[noreturn]] void Fail(const char* what, const std::string& path, int error)
{
    throw CqzPersistenceException(std::string(what) + " setup file '" + path +
                                  "': " + std::strerror(error));
}

} // namespace

std::vector<std::uint8_t> CqzPersistenceFile::Read(const CString& path, std::size_t maxSize)
{
    const std::string name = path.ToUtf8();
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("cannot open", name, errno);
    struct stat info
    {
    };
    std::vector<std::uint8_t> data;
    int error = fstat(fd, &info) != 0 ? errno : !S_ISREG(info.st_mode) ? EINVAL : 0;
    if (error == 0 && static_cast<std::uintmax_t>(info.st_size) > maxSize)
        error = EFBIG;
    std::size_t got = 0;
    if (error == 0)
        data.resize(static_cast<std::size_t>(info.st_size));
    while (error == 0 && got < data.size())
    {
        const ssize_t n = read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        else if (n == 0)
            break; // shrank while reading: the decoder reports the truncation
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    if (error != 0)
        Fail("cannot read", name, error);
    data.resize(got);
    return data;
}

void CqzPersistenceFile::WriteAtomic(const CString& path, const std::vector<std::uint8_t>& data)
{
    CqzFileWriter writer(path.ToUtf8(), "setup file");
    writer.Stream().write(reinterpret_cast<const char*>(data.data()),
                          static_cast<std::streamsize>(data.size()));
    writer.Commit();
}
