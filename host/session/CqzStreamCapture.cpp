#include "CqzStreamCapture.h"

#include "CqzHostError.h"
#include "capture/CqzCaptureMemory.h"
#include "capture/CqzFstLayout.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Writes all of `size` bytes; false on an error.
bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads into the buffer; the count read, 0 at the end, -1 on an error.
ssize_t ReadSome(int fd, char* buffer, std::size_t size)
{
    for (;;)
    {
        const ssize_t n = read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

// Closes a descriptor the capture opened itself (not standard input).
struct SqzOwnedFd
{
    int fd;
    ~SqzOwnedFd()
    {
        if (fd > STDERR_FILENO)
            close(fd);
    }
};

} // namespace

bool CqzStreamCapture::IsStream(const std::string& path)
{
    struct stat info
    {
    };
    return path == "-" ||
           (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode));
}

std::string CqzStreamCapture::Extension(const std::string& head)
{
    if (head.rfind("PK\x03\x04", 0) == 0)
        return ".sr";
    if (CqzFstLayout::LooksLikeFst(reinterpret_cast<const unsigned char*>(head.data()),
                                   head.size()))
        return ".fst";
    std::size_t at = head.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (at < head.size() && std::strchr(" \t\r\n", head[at]) != nullptr)
        ++at;
    return at < head.size() && head[at] == '$' ? ".vcd" : ".csv";
}

CqzStreamCapture::CqzStreamCapture(const std::string& path, std::uint64_t limit)
    : m_name(path == "-" ? "standard input" : "'" + path + "'"), m_shown(path)
{
    const auto refuse = [&](const std::string& reason) {
        throw CqzHostError(eqzExitCapture,
                           "cannot read the capture from " + m_name + ": " + reason);
    };
    if (path == "-" && isatty(STDIN_FILENO) == 1)
        refuse("it is a terminal; pipe a capture in (qzfilter - < capture.vcd)");
    const SqzOwnedFd from{path == "-" ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (from.fd < 0)
        refuse(std::strerror(errno));
    std::string head(64 * 1024, '\0');
    std::size_t got = 0;
    for (ssize_t n;
         got < head.size() && (n = ReadSome(from.fd, &head[got], head.size() - got)) != 0;)
    {
        if (n < 0)
            refuse(std::strerror(errno));
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    if (got == 0)
        refuse("it is empty");
    if (const std::size_t nul = head.find('\0');
        Extension(head) != ".sr" && Extension(head) != ".fst" && nul != std::string::npos)
        refuse("byte " + std::to_string(nul + 1) + " is a NUL: this is no text capture");
    Copy(from.fd, head, limit);
}

void CqzStreamCapture::Copy(int from, const std::string& head, std::uint64_t limit)
{
    const std::string extension = Extension(head);
    std::string name =
        (std::filesystem::temp_directory_path() / ("qzfilter-stream-XXXXXX" + extension)).string();
    const int fd = mkstemps(name.data(), static_cast<int>(extension.size()));
    const std::string prefix = "cannot read the capture from " + m_name + ": ";
    if (fd < 0)
        throw CqzHostError(eqzExitCapture, prefix + "no temporary file: " + std::strerror(errno));
    m_cleanup.Claim(name);
    m_path = name;
    bool ok = WriteAll(fd, head.data(), head.size());
    CqzRemoveOnSignal::PauseAt("copy");
    std::uint64_t copied = head.size();
    char buffer[1 << 16];
    std::string reason;
    for (ssize_t n; ok && (n = ReadSome(from, buffer, sizeof buffer)) != 0;)
    {
        copied += n > 0 ? static_cast<std::uint64_t>(n) : 0;
        if (limit != 0 && copied > limit)
            reason = "it is larger than the memory limit of " + CqzCaptureMemory::Describe(limit);
        ok = reason.empty() && n > 0 && WriteAll(fd, buffer, static_cast<std::size_t>(n));
    }
    const int error = errno;
    ok = close(fd) == 0 && ok;
    if (ok)
        return;
    unlink(m_path.c_str()); // the destructor does not run for a constructor that throws
    throw CqzHostError(eqzExitCapture, prefix + (reason.empty() ? std::strerror(error) : reason));
}

CqzStreamCapture::~CqzStreamCapture()
{
    if (!m_path.empty())
        unlink(m_path.c_str());
}

std::string CqzStreamCapture::Rename(const std::string& message) const
{
    std::string out = message;
    for (std::size_t at; (at = out.find(m_path)) != std::string::npos;)
        out.replace(at, m_path.size(), m_shown);
    return out;
}
