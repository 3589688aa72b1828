#pragma once
// A capture read from standard input ("-" on the command line): copied to a temporary file
// that the importers read as they read any capture, and removed again when this goes. The
// file's type follows its content: a zip archive is a session file (.sr), text starting with
// '$' a VCD, anything else CSV.

#include <string>

class CqzStdinCapture
{
public:
    // Copies standard input to the temporary file. Throws CqzHostError (exit code 2).
    CqzStdinCapture();
    ~CqzStdinCapture();
    CqzStdinCapture(const CqzStdinCapture&) = delete;
    CqzStdinCapture& operator=(const CqzStdinCapture&) = delete;

    const std::string& GetPath() const { return m_path; }
    // A message about the temporary file as one about standard input.
    std::string Rename(const std::string& message) const;
    // The type the content's first bytes say: ".sr", ".vcd" or ".csv".
    static std::string Extension(const std::string& head);

private:
    std::string m_path;
};
