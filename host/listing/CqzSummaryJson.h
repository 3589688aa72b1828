#pragma once
// The summary of a run as one JSON object on one line, for scripts that run qzfilter over many
// captures (`--json`):
//   {"capture":"cap.vcd","rows":600,"shown":412,"hidden":188,"coloured":37,
//    "filterEnabled":true,"setup":["Hide: STAT == 0", ...],
//    "terms":[{"number":1,"name":"Idle","action":"Hide","color":null,"hidden":188,
//              "coloured":0}, ...],"undecided":375}
// "setup" lists every term of the applied setup as the listing's legend writes it; "terms" the
// rows each enabled term decided (absent when the tool reports no counts). Texts from files are
// written as the terminal shows them (control bytes and broken UTF-8 as \xNN), then escaped
// for JSON.

#include "CqzFilterSummary.h"
#include "qzSystem/commands/CqzTermCountIFace.h"

#include <optional>
#include <string>
#include <vector>

struct SqzSummaryJson
{
    std::string capture;
    SqzFilterCounts counts;
    bool filterEnabled = true;
    std::vector<std::string> setup;
    std::optional<SqzTermCounts> terms;
};

class CqzSummaryJson
{
public:
    static std::string Format(const SqzSummaryJson& summary);
    // A JSON string literal of `text` (sanitised, quoted, escaped).
    static std::string Quote(const std::string& text);
};
