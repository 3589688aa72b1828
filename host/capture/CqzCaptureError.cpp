#include "capture/CqzCaptureError.h"

namespace
{
std::string Compose(const std::string& file, const std::string& place, const std::string& reason)
{
    return place.empty() ? file + ": " + reason : file + ":" + place + ": " + reason;
}

std::string LineText(std::int64_t line)
{
    return line > 0 ? std::to_string(line) : std::string();
}
} // namespace

CqzCaptureError::CqzCaptureError(const std::string& file, std::int64_t line,
                                 const std::string& reason)
    : std::runtime_error(Compose(file, LineText(line), reason)), m_file(file),
      m_line(line > 0 ? line : 0), m_place(LineText(line)), m_reason(reason)
{
}

CqzCaptureError::CqzCaptureError(const std::string& file, const std::string& place,
                                 const std::string& reason)
    : std::runtime_error(Compose(file, place, reason)), m_file(file), m_place(place),
      m_reason(reason)
{
}
