#pragma once
// The bytes of a capture file for the text importers, read block by block into one buffer so
// that an import holds a window of the file, never the whole of it. The window grows only as
// far as the longest line or word the importer keeps in it (the importer bounds that). Also
// reads text held in memory (the whole text is then the window). Reports how far it has read
// through SqzCaptureOptions::progress. Owned by one import.

#include "capture/SqzCaptureOptions.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CqzCaptureInput
{
public:
    // Opens a file; throws CqzCaptureError when it is a directory or cannot be opened.
    CqzCaptureInput(const std::string& path, const SqzCaptureOptions& options);
    // Bytes held by the caller (not copied: they must outlive the input); `name` stands for
    // the file in messages.
    CqzCaptureInput(std::string_view bytes, const std::string& name,
                    const SqzCaptureOptions& options);
    ~CqzCaptureInput();
    CqzCaptureInput(const CqzCaptureInput&) = delete;
    CqzCaptureInput& operator=(const CqzCaptureInput&) = delete;

    const std::string& GetName() const;
    // The bytes read and not yet given up: [Begin(), End()).
    const char* Begin() const { return m_begin; }
    const char* End() const { return m_end; }
    // True when no byte of the input lies beyond End().
    bool AtEnd() const { return m_atEnd; }
    // Gives up the bytes before `keep` (inside the window) and reads more after End(). The
    // window may move: read Begin() and End() again. False when nothing more was read (the
    // input is at its end). Throws CqzCaptureError when the file cannot be read.
    bool Refill(const char* keep);
    // Gives up the bytes before `from` (inside the window), then moves up to `bytes` bytes
    // into `into`: those of the window first, then straight from the file. Returns how many;
    // fewer than asked only at the end of the input. Throws CqzCaptureError when the file
    // cannot be read.
    std::size_t Read(char* into, std::size_t bytes, const char* from);
    // Back to the first byte (after a byte-order mark), for a second pass.
    void Rewind();
    // The passes an importer makes over the input, so that progress covers all of them.
    void SetPassCount(int passes);
    // The file's size in bytes (the text's for memory).
    std::uint64_t GetSize() const;

private:
    void SkipByteOrderMark();
    // Reads up to `bytes` from the file into `into` (fewer only at its end), counting them
    // and telling the progress; 0 at the end.
    std::size_t ReadFile(char* into, std::size_t bytes);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
    const char* m_begin = nullptr;
    const char* m_end = nullptr;
    bool m_atEnd = true;
};
