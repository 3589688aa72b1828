#include "capture/CqzCaptureInput.h"

#include "capture/CqzCaptureError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct CqzCaptureInput::SqzImp
{
    std::string name;
    std::function<void(std::uint64_t, std::uint64_t)> progress;
    // A file: its descriptor, the buffer and how much of the file has been read.
    int fd = -1;
    std::unique_ptr<char[]> buffer;
    std::size_t block = 0;
    std::size_t capacity = 0;
    std::uint64_t size = 0;
    std::uint64_t read = 0;
    int passes = 1;
    int pass = 0;
    // Memory: the text.
    std::string_view text;

    ~SqzImp()
    {
        if (fd >= 0)
            ::close(fd);
    }
    [[noreturn]] void Fail(const std::string& what) const { throw CqzCaptureError(name, 0, what); }
};

CqzCaptureInput::CqzCaptureInput(const std::string& path, const SqzCaptureOptions& options)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->name = path;
    m_imp->progress = options.progress;
    m_imp->fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_imp->fd < 0)
        m_imp->Fail(std::string("cannot open: ") + std::strerror(errno));
    struct stat info = {};
    if (::fstat(m_imp->fd, &info) != 0)
        m_imp->Fail(std::string("cannot open: ") + std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        m_imp->Fail("is a directory, not a capture file");
    m_imp->size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    ::posix_fadvise(m_imp->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_imp->block = std::max<std::size_t>(options.readBlockBytes, 1);
    m_imp->capacity = m_imp->block;
    m_imp->buffer.reset(new char[m_imp->capacity]);
    Rewind();
}

CqzCaptureInput::CqzCaptureInput(std::string_view bytes, const std::string& name,
                                 const SqzCaptureOptions& options)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->name = name;
    m_imp->progress = options.progress;
    m_imp->text = bytes;
    m_imp->size = bytes.size();
    Rewind();
}

CqzCaptureInput::~CqzCaptureInput() = default;

const std::string& CqzCaptureInput::GetName() const
{
    return m_imp->name;
}

std::uint64_t CqzCaptureInput::GetSize() const
{
    return m_imp->size;
}

void CqzCaptureInput::Rewind()
{
    if (m_imp->fd < 0)
    {
        m_begin = m_imp->text.data();
        m_end = m_begin + m_imp->text.size();
        m_atEnd = true;
    }
    else
    {
        if (::lseek(m_imp->fd, 0, SEEK_SET) != 0 && m_imp->read != 0)
            m_imp->Fail("cannot read the file a second time (it is not a regular file)");
        if (m_imp->read != 0)
            m_imp->pass = std::min(m_imp->pass + 1, m_imp->passes - 1);
        m_imp->read = 0;
        m_begin = m_end = m_imp->buffer.get();
        m_atEnd = false;
        while (m_end - m_begin < 3 && Refill(m_begin))
        {
        }
    }
    SkipByteOrderMark();
}

void CqzCaptureInput::SetPassCount(int passes)
{
    m_imp->passes = std::max(passes, 1);
}

void CqzCaptureInput::SkipByteOrderMark()
{
    if (m_end - m_begin >= 3 && std::memcmp(m_begin, "\xEF\xBB\xBF", 3) == 0)
        m_begin += 3;
}

bool CqzCaptureInput::Refill(const char* keep)
{
    if (m_atEnd)
        return false;
    char* buffer = m_imp->buffer.get();
    const std::size_t kept = static_cast<std::size_t>(m_end - keep);
    // A long line or word keeps the window from sliding: the buffer grows for it.
    if (kept + m_imp->block / 2 >= m_imp->capacity)
    {
        const std::size_t capacity = std::max(m_imp->capacity * 2, kept + m_imp->block);
        std::unique_ptr<char[]> grown(new char[capacity]);
        std::memcpy(grown.get(), keep, kept);
        m_imp->buffer = std::move(grown);
        m_imp->capacity = capacity;
        buffer = m_imp->buffer.get();
    }
    else
        std::memmove(buffer, keep, kept);
    m_begin = buffer;
    m_end = buffer + kept;
    const std::size_t n = ReadFile(buffer + kept, m_imp->capacity - kept);
    m_end += n;
    m_atEnd = n == 0;
    return n > 0;
}

std::size_t CqzCaptureInput::Read(char* into, std::size_t bytes, const char* from)
{
    m_begin = from;
    const std::size_t held = std::min(bytes, static_cast<std::size_t>(m_end - m_begin));
    if (held != 0)
        std::memcpy(into, m_begin, held);
    m_begin += held;
    std::size_t done = held;
    while (done < bytes && !m_atEnd)
    {
        const std::size_t n = ReadFile(into + done, bytes - done);
        m_atEnd = n == 0;
        done += n;
    }
    return done;
}

std::size_t CqzCaptureInput::ReadFile(char* into, std::size_t bytes)
{
    ssize_t n;
    do
        n = ::read(m_imp->fd, into, bytes);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        m_imp->Fail(std::string("cannot read the file: ") + std::strerror(errno));
    m_imp->read += static_cast<std::uint64_t>(n);
    if (m_imp->progress)
        m_imp->progress(m_imp->size * static_cast<std::uint64_t>(m_imp->pass) + m_imp->read,
                        m_imp->size * static_cast<std::uint64_t>(m_imp->passes));
    return static_cast<std::size_t>(n);
}
