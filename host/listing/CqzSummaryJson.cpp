#include "CqzSummaryJson.h"

#include "CqzColorName.h"
#include "CqzTermCountText.h"
#include "CqzTerminalText.h"

#include <cstdio>

namespace
{
constexpr unsigned int ColorAction = 2;

std::string Number(const char* key, std::int64_t value)
{
    return std::string("\"") + key + "\":" + std::to_string(value);
}

std::string Term(int number, const SqzTermCount& term)
{
    const std::string action = CqzTermCountText::Action(term);
    return "{" + Number("number", number) +
           ",\"name\":" + CqzSummaryJson::Quote(term.name.ToUtf8()) +
           ",\"action\":" + CqzSummaryJson::Quote(action.substr(0, action.find(' '))) +
           ",\"color\":" +
           (term.action == ColorAction ? CqzSummaryJson::Quote(CqzColorName::Format(term.color))
                                       : std::string("null")) +
           "," + Number("hidden", term.hidden) + "," + Number("coloured", term.colored) + "}";
}
} // namespace

std::string CqzSummaryJson::Quote(const std::string& text)
{
    std::string out = "\"";
    for (const char c : CqzTerminalText::Sanitize(text))
    {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

std::string CqzSummaryJson::Format(const SqzSummaryJson& summary)
{
    const SqzFilterCounts& counts = summary.counts;
    std::string out = "{\"capture\":" + Quote(summary.capture) + "," + Number("rows", counts.rows) +
                      "," + Number("shown", counts.shown) + "," + Number("hidden", counts.hidden) +
                      "," + Number("coloured", counts.colored) + ",\"filterEnabled\":" +
                      (summary.filterEnabled ? "true" : "false") + ",\"setup\":[";
    for (std::size_t i = 0; i < summary.setup.size(); ++i)
        out += (i ? "," : "") + Quote(summary.setup[i]);
    out += "]";
    if (summary.terms)
    {
        out += ",\"terms\":[";
        const std::vector<SqzTermCount>& terms = summary.terms->terms;
        for (std::size_t i = 0; i < terms.size(); ++i)
            out += (i ? "," : "") + Term(static_cast<int>(i) + 1, terms[i]);
        out += "]," + Number("undecided", summary.terms->undecided);
    }
    return out + "}";
}
