#include "qzSystem/persist/CqzFileWriter.h"

#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzRemoveOnSignal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix = ".qz-";
    for (int i = 0; i < 8; ++i)
        suffix += digits[generator() % (sizeof digits - 1)];
    return suffix;
}

// Writes through a buffer to a descriptor and remembers the first error.
class DescriptorBuffer : public std::streambuf
{
public:
    void Attach(int fd)
    {
        m_fd = fd;
        m_buffer.resize(1 << 16);
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    }
    int Error() const { return m_error; }
    bool Drain()
    {
        const char* data = pbase();
        std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        while (size > 0 && m_error == 0)
        {
            const ssize_t n = write(m_fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                m_error = n < 0 ? errno : EIO;
            else
            {
                data += n;
                size -= static_cast<std::size_t>(n);
            }
        }
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
        if (m_error == 0 && !m_wrote)
        {
            m_wrote = true;
            CqzRemoveOnSignal::PauseAt("write");
        }
        return m_error == 0;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
        {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    std::vector<char> m_buffer;
    int m_fd = -1;
    int m_error = 0;
    bool m_wrote = false;
};
} // namespace

struct CqzFileWriter::SqzImp
{
    std::string path;   // as given, for messages
    std::string target; // the file replaced
    std::string what;
    int fd = -1;
    bool anonymous = false; // written without a name (O_TMPFILE)
    bool direct = false;    // a device, pipe or socket: written in place, never replaced
    std::string temporary;  // the name the content has before the rename
    CqzRemoveOnSignal cleanup;
    DescriptorBuffer buffer;
    std::ostream stream{&buffer};
    bool committed = false;

    [[noreturn]] void Fail(int error) const
    {
        throw CqzPersistenceException("cannot write the " + what + " '" + path +
                                      "': " + std::strerror(error));
    }

    void Open()
    {
        struct stat info
        {
        };
        const bool exists = stat(target.c_str(), &info) == 0;
        if (exists && S_ISDIR(info.st_mode))
            Fail(EISDIR);
        // Not a file (/dev/null, a terminal, a pipe): there is nothing to keep and a rename
        // would put a file in its place. Opened by the name given, which the system follows
        // also where a link names no path (/dev/stdout of a pipe).
        struct stat given
        {
        };
        if (stat(path.c_str(), &given) == 0 && !S_ISREG(given.st_mode) && !S_ISDIR(given.st_mode))
        {
            fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                Fail(errno);
            direct = true;
            buffer.Attach(fd);
            return;
        }
        // A file its owner made read-only is not replaced behind the owner's back.
        if (exists && access(target.c_str(), W_OK) != 0)
            Fail(errno);
        const mode_t mode = exists ? (info.st_mode & 07777) : 0666;
        fd = open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        anonymous = fd >= 0;
        if (!anonymous)
            OpenNamed(mode);
        if (exists)
        {
            // The umask narrowed the new file's mode; the old file's mode and owner are kept.
            fchmod(fd, mode);
            if (fchown(fd, info.st_uid, info.st_gid) != 0)
                errno = 0;
        }
        buffer.Attach(fd);
    }

    void OpenNamed(mode_t mode)
    {
        TakeName(
            [&](const std::string& name) {
                return (fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode)) >=
                       0;
            });
    }

    // Gives the anonymous file a temporary name beside the target.
    void Name()
    {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        TakeName(
            [&](const std::string& name) {
                return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                       0;
            });
    }

    // Makes the content's temporary name with `make`, trying fresh names while one exists.
    template <typename Make> void TakeName(Make make)
    {
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            const std::string name = target + RandomSuffix();
            cleanup.Claim(name);
            if (make(name))
            {
                temporary = name;
                return;
            }
            cleanup.Release();
            if (errno != EEXIST)
                Fail(errno);
        }
        Fail(EEXIST);
    }

    void CommitInPlace()
    {
        const bool drained = buffer.Drain();
        const int error = buffer.Error() != 0 ? buffer.Error() : errno;
        const bool closed = close(fd) == 0;
        fd = -1;
        if (!drained || !closed)
            Fail(drained ? errno : error);
        committed = true;
    }

    void Discard()
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
        if (!temporary.empty() && !committed)
            unlink(temporary.c_str());
    }
};

CqzFileWriter::CqzFileWriter(const std::string& path, const std::string& what)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->path = path;
    m_imp->what = what;
    if (path.empty())
        throw CqzPersistenceException("cannot write the " + what + " '': the name is empty");
    m_imp->target = Resolve(path);
    m_imp->Open();
}

CqzFileWriter::~CqzFileWriter()
{
    m_imp->Discard();
}

std::ostream& CqzFileWriter::Stream()
{
    return m_imp->stream;
}

void CqzFileWriter::Commit()
{
    SqzImp& imp = *m_imp;
    if (imp.direct)
        return imp.CommitInPlace();
    if (!imp.buffer.Drain() || fsync(imp.fd) != 0)
        imp.Fail(imp.buffer.Error() != 0 ? imp.buffer.Error() : errno);
    if (imp.anonymous)
        imp.Name();
    CqzRemoveOnSignal::PauseAt("rename");
    if (close(imp.fd) != 0)
    {
        imp.fd = -1;
        imp.Fail(errno);
    }
    imp.fd = -1;
    if (std::rename(imp.temporary.c_str(), imp.target.c_str()) != 0)
        imp.Fail(errno);
    imp.committed = true;
    imp.cleanup.Release();
    // Makes the rename itself durable; a folder that cannot be synced is not an error.
    const int folder = open(FolderOf(imp.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        fsync(folder);
        close(folder);
    }
}

std::string CqzFileWriter::Resolve(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path current(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(current, error)); ++hops)
    {
        const fs::path link = fs::read_symlink(current, error);
        if (error)
            break;
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return current.string();
}
