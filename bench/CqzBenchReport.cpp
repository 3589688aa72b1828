#include "CqzBenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <sstream>

void CqzBenchReport::Add(const std::string& section, const std::string& key,
                         const std::string& label, double value, const std::string& unit,
                         int decimals)
{
    m_entries.push_back({section, key, label, unit, "", value, decimals, SqzEntry::eFigure});
}

void CqzBenchReport::AddTarget(const std::string& key, const std::string& label, bool met)
{
    m_entries.push_back({"targets", key, label, "", "", met ? 1.0 : 0.0, 0, SqzEntry::eTarget});
}

void CqzBenchReport::AddNote(const std::string& section, const std::string& text)
{
    m_entries.push_back({section, "", "", "", text, 0, 0, SqzEntry::eNote});
}

std::vector<std::string> CqzBenchReport::Sections() const
{
    std::vector<std::string> sections;
    for (const SqzEntry& e : m_entries)
        if (std::find(sections.begin(), sections.end(), e.section) == sections.end())
            sections.push_back(e.section);
    // The targets come last, after the figures they are judged on.
    std::stable_partition(sections.begin(), sections.end(),
                          [](const std::string& s) { return s != "targets"; });
    return sections;
}

void CqzBenchReport::PrintTable(std::ostream& out) const
{
    for (const std::string& section : Sections())
    {
        out << "\n== " << section << " ==\n";
        for (const SqzEntry& e : m_entries)
        {
            if (e.section != section)
                continue;
            if (e.kind == SqzEntry::eNote)
                out << "  " << e.text << "\n";
            else if (e.kind == SqzEntry::eTarget)
                out << "  " << std::left << std::setw(58) << e.label
                    << (e.value != 0 ? "met" : "MISSED") << "\n";
            else
                out << "  " << std::left << std::setw(58) << e.label << std::right << std::setw(16)
                    << Number(e.value, e.decimals) << " " << e.unit << "\n";
        }
    }
}

std::string CqzBenchReport::ToJson() const
{
    std::ostringstream out;
    out << "{\"bench\":\"qzbench\"";
    for (const std::string& section : Sections())
    {
        out << "," << Quote(section) << ":{";
        bool first = true;
        std::string notes;
        for (const SqzEntry& e : m_entries)
        {
            if (e.section != section)
                continue;
            if (e.kind == SqzEntry::eNote)
            {
                notes += (notes.empty() ? "" : ",") + Quote(e.text);
                continue;
            }
            out << (first ? "" : ",") << Quote(e.key) << ":";
            first = false;
            if (e.kind == SqzEntry::eTarget)
                out << (e.value != 0 ? "true" : "false");
            else
                out << Number(e.value, -1);
        }
        if (!notes.empty())
            out << (first ? "" : ",") << "\"notes\":[" << notes << "]";
        out << "}";
    }
    out << "}";
    return out.str();
}

// decimals -1: full precision, as JSON takes it (no NaN or infinity there: they become null).
std::string CqzBenchReport::Number(double value, int decimals)
{
    if (!std::isfinite(value))
        return decimals < 0 ? "null" : "n/a";
    char text[64];
    if (decimals < 0)
        std::snprintf(text, sizeof text, "%.10g", value);
    else
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string CqzBenchReport::Quote(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
        {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
            continue;
        }
        out += c;
    }
    return out + "\"";
}
