#include "qzSystem/persist/CqzPersistenceFile.h"

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

// Closes the descriptor and, unless released, removes the temporary file.
class TempFile
{
public:
    explicit TempFile(std::string target) : m_name(std::move(target) + ".XXXXXX")
    {
        m_fd = mkstemp(m_name.data());
    }
    ~TempFile()
    {
        if (m_fd >= 0)
            close(m_fd);
        if (!m_kept)
            unlink(m_name.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return m_fd; }
    const std::string& Name() const { return m_name; }
    bool CloseFd()
    {
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }
    void Keep() { m_kept = true; }

private:
    std::string m_name;
    int m_fd = -1;
    bool m_kept = false;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// mkstemp makes the file private; a setup file keeps the mode of the file it replaces.
void SetMode(int fd, const std::string& target)
{
    struct stat info
    {
    };
    fchmod(fd, stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644);
}

// Makes the rename itself durable; a directory that cannot be synced is not an error.
void SyncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        fsync(fd);
        close(fd);
    }
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
    const std::string name = path.ToUtf8();
    TempFile temp(name);
    if (temp.Fd() < 0)
        Fail("cannot create a temporary file for", name, errno);
    SetMode(temp.Fd(), name);
    if (!WriteAll(temp.Fd(), data.data(), data.size()) || fsync(temp.Fd()) != 0)
        Fail("cannot write", name, errno);
    if (!temp.CloseFd())
        Fail("cannot write", name, errno);
    if (std::rename(temp.Name().c_str(), name.c_str()) != 0)
        Fail("cannot replace", name, errno);
    temp.Keep();
    SyncDirectoryOf(name);
}
