#pragma once
// Writes the filtered listing of a data set as one self-contained HTML page (styles inline, no
// scripts, no outside files): a summary, the filter terms, and a table per data table with the
// coloured rows in their colour; hidden rows are left out, or greyed with `showHidden`. Throws
// CqzHostError (exit code 4) when the file cannot be written.

#include "CqzFilterSummary.h"
#include "qzSystem/data/CqzData.h"

#include <string>
#include <vector>

struct SqzHtmlPage
{
    std::string title;
    // One line per filter term, as the person gave it.
    std::vector<std::string> terms;
    SqzFilterCounts counts;
    bool showHidden = false;
    bool progress = true;
    // The one table shown (-1: every table).
    int table = -1;
};

class CqzHtmlExporter
{
public:
    static void Export(const std::string& path, const CqzData& data, const CqzID& instanceID,
                       const SqzHtmlPage& page);
    // Text with & < > " ' escaped.
    static std::string Escape(const std::string& text);
};
