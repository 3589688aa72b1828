#pragma once
// The figures of one benchmark run, in the order they were measured: printed as a readable
// table, one section at a time, followed by one JSON line holding every figure (sections as
// objects, figures by key) and the targets with whether each was met.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class CqzBenchReport
{
public:
    // A figure; decimals only matter for the table (the JSON line keeps full precision).
    void Add(const std::string& section, const std::string& key, const std::string& label,
             double value, const std::string& unit = "", int decimals = 0);
    // A target in the "targets" section: true when met.
    void AddTarget(const std::string& key, const std::string& label, bool met);
    // A line of text printed under a section in the table and kept in the JSON line as a
    // string under "notes".
    void AddNote(const std::string& section, const std::string& text);

    void PrintTable(std::ostream& out) const;
    // One line, no line break.
    std::string ToJson() const;

private:
    struct SqzEntry
    {
        std::string section, key, label, unit, text;
        double value = 0;
        int decimals = 0;
        enum EKind
        {
            eFigure,
            eTarget,
            eNote
        } kind = eFigure;
    };
    std::vector<std::string> Sections() const;
    static std::string Number(double value, int decimals);
    static std::string Quote(const std::string& text);

    std::vector<SqzEntry> m_entries;
};
