#pragma once
// The one exception the capture importers throw: what is wrong and where, as
// "file:line: what is wrong" (or "file:entry: ..." inside a session archive, "file: ..." when
// no place within the file applies). Thrown by value, caught by the host to show a person.

#include <cstdint>
#include <stdexcept>
#include <string>

class CqzCaptureError : public std::runtime_error
{
public:
    // line 0 means no particular line.
    CqzCaptureError(const std::string& file, std::int64_t line, const std::string& reason);
    // A place named by text, such as an archive entry ("metadata", "logic-1-3").
    CqzCaptureError(const std::string& file, const std::string& place, const std::string& reason);

    const std::string& GetFile() const { return m_file; }
    // The line, or 0.
    std::int64_t GetLine() const { return m_line; }
    // The place: an entry name, a line number as text, or empty.
    const std::string& GetPlace() const { return m_place; }
    // The message without the place.
    const std::string& GetReason() const { return m_reason; }

private:
    std::string m_file;
    std::int64_t m_line = 0;
    std::string m_place;
    std::string m_reason;
};
