#include "CqzStdinCapture.h"

#include "CqzHostError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace
{

[[noreturn]] void Refuse(const std::string& reason)
{
    throw CqzHostError(eqzExitCapture, "cannot read the capture from standard input: " + reason);
}

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

} // namespace

std::string CqzStdinCapture::Extension(const std::string& head)
{
    if (head.rfind("PK\x03\x04", 0) == 0)
        return ".sr";
    std::size_t at = head.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (at < head.size() && std::strchr(" \t\r\n", head[at]) != nullptr)
        ++at;
    return at < head.size() && head[at] == '$' ? ".vcd" : ".csv";
}

CqzStdinCapture::CqzStdinCapture()
{
    if (isatty(STDIN_FILENO) == 1)
        Refuse("it is a terminal; pipe a capture in (qzfilter - < capture.vcd)");
    std::string head(64 * 1024, '\0');
    std::size_t got = 0;
    for (ssize_t n;
         got < head.size() && (n = ReadSome(STDIN_FILENO, &head[got], head.size() - got)) != 0;)
    {
        if (n < 0)
            Refuse(std::strerror(errno));
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    if (got == 0)
        Refuse("it is empty");
    const std::string extension = Extension(head);
    std::string name =
        (std::filesystem::temp_directory_path() / ("qzfilter-stdin-XXXXXX" + extension)).string();
    const int fd = mkstemps(name.data(), static_cast<int>(extension.size()));
    if (fd < 0)
        Refuse("no temporary file: " + std::string(std::strerror(errno)));
    m_path = name;
    bool ok = WriteAll(fd, head.data(), head.size());
    char buffer[1 << 16];
    for (ssize_t n; ok && (n = ReadSome(STDIN_FILENO, buffer, sizeof buffer)) != 0;)
        ok = n > 0 && WriteAll(fd, buffer, static_cast<std::size_t>(n));
    const int error = errno;
    ok = close(fd) == 0 && ok;
    if (!ok)
    {
        std::filesystem::remove(m_path);
        Refuse(std::strerror(error));
    }
}

CqzStdinCapture::~CqzStdinCapture()
{
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

std::string CqzStdinCapture::Rename(const std::string& message) const
{
    std::string out = message;
    for (std::size_t at; (at = out.find(m_path)) != std::string::npos;)
        out.replace(at, m_path.size(), "-");
    return out;
}
