#pragma once
// A capture read from a stream: standard input ("-"), a FIFO or a process substitution
// (/dev/fd/N), anything that can be read only once. The importers read a file more than once,
// so the stream is copied, as it arrives, to a temporary file; the copy is bounded by the
// memory limit, removed when this goes and by the signals that end the program (SIGINT,
// SIGTERM, SIGHUP). The copy's type follows its content: a zip archive is a session file
// (.sr), an FST header block an FST file, text starting with '$' a VCD, other text CSV; a NUL
// byte in the first block of what is no archive or FST file is refused at once.

#include "qzSystem/persist/CqzRemoveOnSignal.h"

#include <cstdint>
#include <string>

class CqzStreamCapture
{
public:
    // Whether `path` names a stream rather than a file that can be read again.
    static bool IsStream(const std::string& path);
    // Copies the stream to the temporary file, at most `limit` bytes (0: no limit). Throws
    // CqzHostError (exit code 2).
    CqzStreamCapture(const std::string& path, std::uint64_t limit);
    ~CqzStreamCapture();
    CqzStreamCapture(const CqzStreamCapture&) = delete;
    CqzStreamCapture& operator=(const CqzStreamCapture&) = delete;

    const std::string& GetPath() const { return m_path; }
    // A message about the temporary file as one about the stream.
    std::string Rename(const std::string& message) const;
    // The type the content's first bytes say: ".sr", ".fst", ".vcd" or ".csv".
    static std::string Extension(const std::string& head);

private:
    void Copy(int from, const std::string& head, std::uint64_t limit);

    std::string m_name; // "standard input" or the path given
    std::string m_path;
    std::string m_shown; // "-" or the path given, for messages
    CqzRemoveOnSignal m_cleanup;
};
