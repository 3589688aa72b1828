#pragma once
// The markup of a very large filter setup through the tool's command interface: the setup is
// parsed, applied (DoCommands), written back by the tool (GetSetup, built element by element)
// and loaded into a second tool, whose markup must equal the first. Two setups: many terms of
// one event each, and one term of many OR-joined events. Each run makes a small workload for
// the labels the setup names and a tool of its own, destroyed again before it answers.

#include "mfc/CString.h"

#include <cstdint>

class CqzBenchPlugIn;

class CqzBenchMarkup
{
public:
    struct SqzResult
    {
        std::int64_t characters = 0; // of the markup the tool wrote
        double parseSeconds = 0;     // the generated text into a parser
        double applySeconds = 0;     // DoCommands
        double buildSeconds = 0;     // GetSetup
        double reloadSeconds = 0;    // the tool's markup parsed and applied to a second tool
        bool exact = false;          // the second tool wrote the same markup
    };

    explicit CqzBenchMarkup(const CqzBenchPlugIn& plugIn) : m_plugIn(plugIn) {}

    SqzResult RunTerms(int terms) const;
    SqzResult RunEvents(int events) const;

    // The setups, in the layout a person would write (indented, one element a line).
    static CString MakeTerms(int terms);
    static CString MakeEvents(int events);

private:
    SqzResult Run(const CString& markup) const;

    const CqzBenchPlugIn& m_plugIn;
};
