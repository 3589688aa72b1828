#pragma once
// Runs the FST reader on a file in a child process and hands what it reads over a pipe as
// records: the declarations (scopes and variables), then the value changes in time order,
// those of 0 and 1 digits only as numbers the child read (the pipe carries a few bytes a
// change, and neither side handles the digits one by one twice). The reader trusts the file:
// on damaged data it may read out of bounds or end the process, so it never runs in ours. A
// child that dies, ends without its last record or sends a malformed record makes Next throw
// CqzCaptureError ("file: ..."), as does a reader that CqzFstReaderGuard ended (it read on at
// the end of its data, or asked for more heap than allowed). The child is killed and reaped
// when the object goes, however far the reading got. Temporary files the reader makes while
// unpacking are unlinked as soon as they are open, so nothing stays behind even then.

#include "capture/CqzCaptureMemory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CqzFstReaderProcess
{
public:
    enum EqzRecord
    {
        eScope,     // text: the scope's name
        eUpscope,   // the scope closes
        eVar,       // type, width, handle, text: the name
        eDeclared,  // the declarations are complete; timescale: 10^timescale s, time: the end
        eTime,      // time: the changes after it are at this time
        eChange,    // handle, text: the value (digits, or a real or string as text)
        eBits,      // handle, value of `width` significant bits (0 and 1 digits only)
        eEnd        // the file is read
    };
    struct SqzRecord
    {
        EqzRecord kind = eEnd;
        std::uint32_t type = 0;
        std::uint32_t width = 0;
        std::uint32_t handle = 0;
        int timescale = 0;
        std::uint64_t time = 0;
        std::uint64_t high = 0; // eBits: the value's bits 64 to 127
        std::uint64_t low = 0;
        std::string_view text; // valid until the next call of Next
    };

    // Whether the variables of an FST variable type hold reals or strings (as text).
    static bool IsTextType(std::uint32_t type);

    // Starts the child on `path`; `name` stands for the file in messages. The reader's heap
    // in the child is held to `heap` (none when its bytes are 0).
    CqzFstReaderProcess(const std::string& path, const std::string& name,
                        const CqzCaptureMemory::SqzLimit& heap);
    ~CqzFstReaderProcess();
    CqzFstReaderProcess(const CqzFstReaderProcess&) = delete;
    CqzFstReaderProcess& operator=(const CqzFstReaderProcess&) = delete;

    // The next record; after eEnd the child has finished well.
    void Next(SqzRecord& record);

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
