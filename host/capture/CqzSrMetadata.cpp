#include "capture/CqzSrMetadata.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureText.h"

#include <algorithm>

namespace
{
std::string Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

bool IsNumber(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

void CqzSrMetadata::Fail(std::int64_t line, const std::string& what) const
{
    throw CqzCaptureError(m_file, line > 0 ? "metadata:" + std::to_string(line) : "metadata", what);
}

void CqzSrMetadata::Parse(std::string_view text, const std::string& file)
{
    m_file = file;
    std::string section;
    bool deviceSeen = false;
    std::int64_t number = 0;
    for (std::size_t pos = 0; pos < text.size();)
    {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[')
        {
            section = line;
            // The first device section is the capture; later devices are not read.
            deviceSeen = deviceSeen || section.starts_with("[device");
            if (section.starts_with("[device") && section != "[device 1]")
                section = "[other]";
            continue;
        }
        const std::size_t equal = line.find('=');
        if (equal == std::string::npos)
            Fail(number, "expected 'key = value', found " + CqzCaptureText::Quote(line));
        if (section == "[device 1]")
            Set(Trim(line.substr(0, equal)), Trim(line.substr(equal + 1)), number);
    }
    if (!deviceSeen)
        Fail(0, "no [device 1] section");
    Finish();
}

void CqzSrMetadata::Set(const std::string& key, const std::string& value, std::int64_t line)
{
    std::uint64_t n = 0;
    if (key == "capturefile")
        m_captureFile = value;
    else if (key == "unitsize")
    {
        if (!CqzCaptureNumber::ParseUnsigned(value, kMaxUnitSize, n) || n == 0)
            Fail(line, "unitsize " + CqzCaptureText::Quote(value, 20) + " is not 1 to 16 bytes");
        m_unitSize = static_cast<int>(n);
    }
    else if (key == "total probes")
    {
        if (!CqzCaptureNumber::ParseUnsigned(value, 8 * kMaxUnitSize, n))
            Fail(line, "total probes " + CqzCaptureText::Quote(value, 20) + " is not 0 to 128");
        m_probes = static_cast<int>(n);
    }
    else if (key == "samplerate")
    {
        if (!CqzCaptureNumber::ParseRate(value, m_sampleRate))
            Fail(line, "samplerate " + CqzCaptureText::Quote(value, 20) +
                           " is not a rate such as '500 kHz'");
        if (m_sampleRate > CqzCaptureNumber::MaxRate)
            Fail(line, "samplerate " + CqzCaptureText::Quote(value, 20) +
                           CqzCaptureNumber::MaxRateReason);
    }
    else if (key.starts_with("probe") && IsNumber(key.substr(5)))
    {
        if (!CqzCaptureNumber::ParseUnsigned(key.substr(5), 8 * kMaxUnitSize, n) || n == 0)
            Fail(line, CqzCaptureText::Printable(key) + ": probes are numbered 1 to 128");
        m_probeNames.emplace_back(static_cast<int>(n), value);
    }
    else if (key.starts_with("analog") && IsNumber(key.substr(6)))
        m_analog.push_back(value.empty() ? key : value);
}

// More probes than a sample's bytes hold: the named probes that fit are loaded with a note;
// without any, or with a named probe beyond the sample, the session is refused.
void CqzSrMetadata::FitProbesToUnit()
{
    const int fit = 8 * m_unitSize;
    int highest = 0;
    for (const auto& probe : m_probeNames)
        highest = std::max(highest, probe.first);
    if (m_probeNames.empty() || highest > fit)
        Fail(0, std::to_string(m_probes) + " probes do not fit a unitsize of " +
                    std::to_string(m_unitSize) + " bytes");
    m_notes.push_back("the session says " + std::to_string(m_probes) +
                      " probes but a sample holds " + std::to_string(fit) + " (unitsize " +
                      std::to_string(m_unitSize) + "); the " +
                      std::to_string(m_probeNames.size()) + " named probes are loaded");
    m_probes = highest;
}

void CqzSrMetadata::Finish()
{
    if (!m_analog.empty() &&
        (m_captureFile.empty() || m_probes == 0 || (m_probes < 0 && m_probeNames.empty())))
    {
        std::string names;
        for (const std::string& name : m_analog)
            names += (names.empty() ? "" : ", ") + CqzCaptureText::Printable(name);
        Fail(0, "the session holds only analog channels (" + names + "), which are not imported");
    }
    if (m_captureFile.empty())
        Fail(0, "no capturefile: the session holds no logic data");
    if (m_unitSize == 0)
        Fail(0, "no unitsize");
    if (m_sampleRate == 0)
        Fail(0, "no samplerate");
    if (m_probes < 0)
        for (const auto& probe : m_probeNames)
            m_probes = std::max(m_probes, probe.first);
    if (m_probes <= 0)
        Fail(0, "no probes");
    if (m_probes > 8 * m_unitSize)
        FitProbesToUnit();
    m_names.assign(static_cast<std::size_t>(m_probes), std::string());
    for (const auto& [probe, name] : m_probeNames)
    {
        if (probe > m_probes)
            Fail(0, "probe" + std::to_string(probe) + " is beyond the " + std::to_string(m_probes) +
                        " probes");
        m_names[static_cast<std::size_t>(probe - 1)] = name;
    }
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i].empty())
            m_names[i] = "D" + std::to_string(i);
        else if (IsNumber(m_names[i]))
            m_names[i] = "D" + m_names[i].substr(0, 12);
}
