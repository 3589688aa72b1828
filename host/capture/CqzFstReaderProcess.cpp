#include "capture/CqzFstReaderProcess.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzFstReaderGuard.h"
#include "qzSystem/managers/CqzMemoryBudget.h"

#include <fstapi.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A sanitizer or fuzzing runtime in this process must not take the child's death for its own.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace
{
// Record tags on the pipe.
enum : char
{
    kScope = 'S',
    kUpscope = 'U',
    kVar = 'V',
    kDeclared = 'D',
    kTime = 'T',
    kChange = 'C',
    kBits = 'B', // handle, the low 64 bits
    kWide = 'W', // handle, the high and the low 64 bits
    kEnd = 'E',
    kUnreadable = 'R'
};
constexpr std::size_t kBufferBytes = std::size_t{1} << 18;
// Allocations the child makes from this size on are mappings of their own.
constexpr int kChildMmapBytes = 256 << 20;
// The pipe's capacity asked for (the system's limit, 1 MiB by default, may cap it).
constexpr int kPipeBytes = 1 << 20;
// The longest text a record may carry (a name, or the digits of a value).
constexpr std::uint32_t kMaxText = std::uint32_t{1} << 26;
// The child is given up when it sends nothing for this long (the reader loops on some
// damaged hierarchies).
constexpr int kSilenceMs = 30000;

// The child's side: records into the pipe, a buffer at a time.
class PipeWriter
{
public:
    explicit PipeWriter(int fd) : m_fd(fd), m_buffer(kBufferBytes) {}

    // A record of a tag and fixed fields, put at once.
    template <typename... Fields> void Record(char tag, Fields... fields)
    {
        char bytes[1 + (sizeof(Fields) + ... + 0)];
        bytes[0] = tag;
        std::size_t at = 1;
        ((std::memcpy(bytes + at, &fields, sizeof fields), at += sizeof fields), ...);
        Put(bytes, sizeof bytes);
    }
    void Tag(char tag) { Put(&tag, 1); }
    void U32(std::uint32_t value) { Put(&value, 4); }
    void U64(std::uint64_t value) { Put(&value, 8); }
    void Text(const void* text, std::uint32_t length)
    {
        U32(length);
        Put(text, length);
    }
    void Flush()
    {
        WriteAll(m_buffer.data(), m_used);
        m_used = 0;
    }

private:
    void Put(const void* bytes, std::size_t count)
    {
        if (m_used + count > kBufferBytes)
        {
            Flush();
            if (count > kBufferBytes)
                return WriteAll(static_cast<const char*>(bytes), count);
        }
        std::memcpy(m_buffer.data() + m_used, bytes, count);
        m_used += count;
    }
    void WriteAll(const char* bytes, std::size_t count)
    {
        while (count > 0)
        {
            const ssize_t written = ::write(m_fd, bytes, count);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                ::_exit(3); // the importer has gone
            bytes += written;
            count -= static_cast<std::size_t>(written);
        }
    }

    int m_fd;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

struct ChangeSink
{
    PipeWriter* out;
    // By handle: whether its values are bits (every variable of it holds bits), not text.
    std::vector<char> bits;
    bool timed = false;
    std::uint64_t time = 0;

    void Time(std::uint64_t at)
    {
        if (timed && at == time)
            return;
        out->Record(kTime, at);
        timed = true;
        time = at;
    }
    void Change(std::uint64_t at, fstHandle handle, const unsigned char* value,
                std::uint32_t length)
    {
        Time(at);
        out->Tag(kChange);
        out->U32(handle);
        out->Text(value, length);
    }
    bool IsBits(fstHandle handle) const { return handle < bits.size() && bits[handle]; }
    // A bit value of 0 and 1 digits only as a number; false for any other.
    bool Bits(std::uint64_t at, fstHandle handle, std::string_view value)
    {
        CqzUInt number;
        if (!IsBits(handle) || !CqzCaptureNumber::ParseKnownBits(value, number))
            return false;
        Put(at, handle, number);
        return true;
    }
    void Put(std::uint64_t at, fstHandle handle, const CqzUInt& number)
    {
        Time(at);
        if (number.GetHigh() != 0)
            out->Record(kWide, handle, number.GetHigh(), number.GetLow());
        else
            out->Record(kBits, handle, number.GetLow());
    }
};

void OnChange(void* sink, std::uint64_t time, fstHandle handle, const unsigned char* value)
{
    auto* changes = static_cast<ChangeSink*>(sink);
    // A single 0 or 1 (the commonest value) without measuring and reading the text.
    if ((value[0] == '0' || value[0] == '1') && value[1] == 0 && changes->IsBits(handle))
        return changes->Put(time, handle, CqzUInt(std::uint64_t(value[0] - '0')));
    const std::string_view text(reinterpret_cast<const char*>(value));
    if (!changes->Bits(time, handle, text))
        changes->Change(time, handle, value, static_cast<std::uint32_t>(text.size()));
}

void OnVariableLengthChange(void* sink, std::uint64_t time, fstHandle handle,
                            const unsigned char* value, std::uint32_t length)
{
    static_cast<ChangeSink*>(sink)->Change(time, handle, value, length);
}

// Notes whether a variable's handle carries bits (not for a handle past the variables so far,
// which the importer refuses). A handle stays bits while every variable of it holds bits.
void NoteKind(ChangeSink& sink, const fstHier& h, std::uint32_t vars)
{
    constexpr char kUnseen = 2;
    const std::uint32_t handle = h.u.var.handle;
    if (handle == 0 || handle > vars)
        return;
    if (sink.bits.size() <= handle)
        sink.bits.resize(handle + 1, kUnseen);
    char& bits = sink.bits[handle];
    bits = bits != 0 && !CqzFstReaderProcess::IsTextType(h.u.var.typ);
}

void SendDeclarations(void* reader, PipeWriter& out, ChangeSink& sink)
{
    std::uint32_t vars = 0;
    while (const fstHier* h = fstReaderIterateHier(reader))
    {
        if (h->htyp == FST_HT_SCOPE)
        {
            out.Tag(kScope);
            out.Text(h->u.scope.name, h->u.scope.name_length);
        }
        else if (h->htyp == FST_HT_UPSCOPE)
            out.Tag(kUpscope);
        else if (h->htyp == FST_HT_VAR)
        {
            out.Tag(kVar);
            out.U32(h->u.var.typ);
            out.U32(h->u.var.length);
            out.U32(h->u.var.handle);
            out.Text(h->u.var.name, h->u.var.name_length);
            NoteKind(sink, *h, ++vars);
        }
    }
    out.Tag(kDeclared);
    out.U32(static_cast<std::uint32_t>(static_cast<int>(fstReaderGetTimescale(reader))));
    out.U64(fstReaderGetEndTime(reader));
}

// The child: reads the file into the pipe and ends without running anything of the parent's
// (no exit handlers, no flushing of its buffers).
[[noreturn]] void RunChild(const char* path, int fd, pid_t parent, std::uint64_t heapBytes)
{
    // Ends with the importer, however that ends.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        ::_exit(4);
    // The reader's blocks come from fresh mappings, not from the heap the child shares with
    // the importer, whose every page written would first be copied.
    ::mallopt(M_MMAP_THRESHOLD, kChildMmapBytes);
    ::mallopt(M_TRIM_THRESHOLD, kChildMmapBytes);
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGPIPE, SIGALRM, SIGTERM})
        std::signal(signal, SIG_DFL);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(nullptr);
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0)
    {
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
    }
    PipeWriter out(fd);
    CqzFstReaderGuard::Arm(heapBytes);
    void* reader = fstReaderOpen(path);
    if (reader == nullptr)
    {
        out.Tag(kUnreadable);
        out.Flush();
        ::_exit(0);
    }
    ChangeSink sink{&out, {}};
    SendDeclarations(reader, out, sink);
    for (char& bits : sink.bits)
        bits = bits == 1;
    fstReaderSetFacProcessMaskAll(reader);
    const int read = fstReaderIterBlocks2(reader, OnChange, OnVariableLengthChange, &sink, nullptr);
    fstReaderClose(reader);
    out.Tag(read ? kEnd : kUnreadable);
    out.Flush();
    ::_exit(0);
}
} // namespace

struct CqzFstReaderProcess::SqzImp
{
    std::string name;
    CqzCaptureMemory::SqzLimit heap;
    pid_t pid = -1;
    int fd = -1;
    std::vector<char> buffer = std::vector<char>(kBufferBytes);
    std::size_t begin = 0;
    std::size_t end = 0;

    [[noreturn]] void Fail(const std::string& what) const
    {
        throw CqzCaptureError(name, 0, what);
    }

    // Why the child stopped before its last record.
    [[noreturn]] void FailStopped()
    {
        int status = 0;
        pid_t done = -1;
        do
            done = ::waitpid(pid, &status, 0);
        while (done < 0 && errno == EINTR);
        pid = -1;
        if (done > 0 && WIFEXITED(status))
            FailGuarded(WEXITSTATUS(status));
        if (done > 0 && WIFSIGNALED(status))
            Fail("damaged FST data: the FST reader failed on it (signal " +
                 std::to_string(WTERMSIG(status)) + ")");
        Fail("damaged FST data: the FST reader stopped on it (exit status " +
             std::to_string(done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")");
    }

    // The guard's reasons for ending the child.
    void FailGuarded(int status) const
    {
        if (status == CqzFstReaderGuard::eReadPastEnd)
            Fail("damaged FST data: a size or a name in it runs past the end of its data");
        if (status == CqzFstReaderGuard::eHeapLimit)
            Fail("the FST reader asks for more memory than it may take (damaged sizes, or a "
                 "file too large for this machine); " +
                 CqzMemoryBudget::DescribeLimit(heap.bytes, heap.source));
    }

    // At least `count` bytes between begin and end.
    void Need(std::size_t count)
    {
        if (end - begin < count)
            Fill(count);
    }
    void Fill(std::size_t count)
    {
        while (end - begin < count)
        {
            if (begin > 0)
            {
                std::memmove(buffer.data(), buffer.data() + begin, end - begin);
                end -= begin;
                begin = 0;
            }
            if (buffer.size() < count)
                buffer.resize(count);
            pollfd wait = {fd, POLLIN, 0};
            const int ready = ::poll(&wait, 1, kSilenceMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0)
                Fail("the FST reader sent nothing for " + std::to_string(kSilenceMs / 1000) +
                     " s; given up");
            const ssize_t got = ::read(fd, buffer.data() + end, buffer.size() - end);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                FailStopped();
            end += static_cast<std::size_t>(got);
        }
    }
    // A time or a number record, the commonest ones, read straight from the buffer; false,
    // reading nothing, for any other or when less than the longest of them is buffered.
    bool TakeFixed(SqzRecord& record)
    {
        constexpr std::size_t kLongest = 1 + 4 + 8 + 8;
        if (end - begin < kLongest)
            return false;
        const char* p = buffer.data() + begin;
        switch (p[0])
        {
        case kTime:
            record.kind = eTime;
            std::memcpy(&record.time, p + 1, 8);
            begin += 1 + 8;
            return true;
        case kBits:
        case kWide:
        {
            const bool wide = p[0] == kWide;
            record.kind = eBits;
            std::memcpy(&record.handle, p + 1, 4);
            record.high = 0;
            if (wide)
                std::memcpy(&record.high, p + 5, 8);
            std::memcpy(&record.low, p + (wide ? 13 : 5), 8);
            begin += wide ? kLongest : 1 + 4 + 8;
            return true;
        }
        default:
            return false;
        }
    }
    template <typename T> T Take()
    {
        Need(sizeof(T));
        T value;
        std::memcpy(&value, buffer.data() + begin, sizeof(T));
        begin += sizeof(T);
        return value;
    }
    std::string_view TakeText()
    {
        const auto length = Take<std::uint32_t>();
        if (length > kMaxText)
            Fail("the FST reader sent a text of " + std::to_string(length) + " bytes");
        Need(length);
        const std::string_view text(buffer.data() + begin, length);
        begin += length;
        return text;
    }
};

CqzFstReaderProcess::CqzFstReaderProcess(const std::string& path, const std::string& name,
                                         const CqzCaptureMemory::SqzLimit& heap)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->name = name;
    m_imp->heap = heap;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        m_imp->Fail(std::string("cannot start the FST reader: ") + std::strerror(errno));
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
    {
        ::close(fds[0]);
        RunChild(path.c_str(), fds[1], parent, heap.bytes);
    }
    ::close(fds[1]);
    if (pid < 0)
    {
        ::close(fds[0]);
        m_imp->Fail(std::string("cannot start the FST reader: ") + std::strerror(errno));
    }
    m_imp->pid = pid;
    m_imp->fd = fds[0];
    // A larger pipe lets the child write its buffer in fewer turns (refused: the default).
    ::fcntl(fds[0], F_SETPIPE_SZ, kPipeBytes);
}

bool CqzFstReaderProcess::IsTextType(std::uint32_t type)
{
    return type == FST_VT_VCD_REAL || type == FST_VT_VCD_REAL_PARAMETER ||
           type == FST_VT_VCD_REALTIME || type == FST_VT_SV_SHORTREAL || type == FST_VT_GEN_STRING;
}

CqzFstReaderProcess::~CqzFstReaderProcess()
{
    ::close(m_imp->fd);
    if (m_imp->pid <= 0)
        return;
    ::kill(m_imp->pid, SIGKILL);
    while (::waitpid(m_imp->pid, nullptr, 0) < 0 && errno == EINTR)
    {
    }
}

void CqzFstReaderProcess::Next(SqzRecord& record)
{
    SqzImp& m = *m_imp;
    if (m.TakeFixed(record))
        return;
    const char tag = m.Take<char>();
    switch (tag)
    {
    case kScope:
        record.kind = eScope;
        record.text = m.TakeText();
        return;
    case kUpscope:
        record.kind = eUpscope;
        return;
    case kVar:
        record.kind = eVar;
        record.type = m.Take<std::uint32_t>();
        record.width = m.Take<std::uint32_t>();
        record.handle = m.Take<std::uint32_t>();
        record.text = m.TakeText();
        return;
    case kDeclared:
        record.kind = eDeclared;
        record.timescale = static_cast<int>(m.Take<std::uint32_t>());
        record.time = m.Take<std::uint64_t>();
        return;
    case kTime:
        record.kind = eTime;
        record.time = m.Take<std::uint64_t>();
        return;
    case kChange:
        record.kind = eChange;
        record.handle = m.Take<std::uint32_t>();
        record.text = m.TakeText();
        return;
    case kBits:
    case kWide:
        record.kind = eBits;
        record.handle = m.Take<std::uint32_t>();
        record.high = tag == kWide ? m.Take<std::uint64_t>() : 0;
        record.low = m.Take<std::uint64_t>();
        return;
    case kEnd:
        record.kind = eEnd;
        return;
    case kUnreadable:
        m.Fail("the FST reader cannot read it (damaged header, hierarchy or value blocks)");
    default:
        m.Fail("the FST reader sent an unknown record");
    }
}
