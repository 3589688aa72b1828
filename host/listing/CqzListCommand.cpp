#include "CqzListCommand.h"

#include "CqzListedTables.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzDecoderList.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzHtmlExporter.h"
#include "CqzListingWriter.h"
#include "CqzSessionOpener.h"
#include "CqzSummaryJson.h"
#include "CqzTermCountText.h"
#include "CqzTerminalText.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace
{

bool UseColor(EqzColorMode mode)
{
    return CqzHostOptions::UseColor(mode, isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"),
                                    std::getenv("TERM"));
}

const char* TypeName(const CqzLabel& label)
{
    if (label.IsType(eqzLabelDigital))
        return "digital";
    if (label.IsType(eqzLabelIntegral))
        return "integer";
    if (label.IsType(eqzLabelString))
        return "text";
    if (label.IsType(eqzLabelTime))
        return "time";
    return label.IsType(eqzLabelSampleNumber) ? "sample number" : "other";
}

// --labels: one line per label of the capture, in table order.
void WriteLabels(const CqzHostSession& session, std::ostream& out)
{
    std::vector<std::string> names;
    std::size_t width = 5;
    for (const CqzLabel* label : session.GetLabels())
    {
        names.push_back(CqzTerminalText::Sanitize(label->GetName().ToUtf8()));
        width = std::max(width, names.back().size());
    }
    const auto line = [&](const std::string& name, const std::string& type, const std::string& bits)
    {
        out << name << std::string(width + 2 - name.size(), ' ') << type
            << std::string(type.size() < 15 ? 15 - type.size() : 1, ' ') << bits << "\n";
    };
    line("Label", "Type", "Width");
    const std::vector<const CqzLabel*> labels = session.GetLabels();
    for (std::size_t i = 0; i < labels.size(); ++i)
        line(names[i], TypeName(*labels[i]),
             labels[i]->IsType(eqzLabelString) ? "-" : std::to_string(labels[i]->GetWidth()));
}

// The sample's terms before its listing, each in its colour, so that a first look tells what
// the filter was asked to do.
void WriteLegend(const CqzHostSession& session, bool color, std::ostream& out)
{
    out << "Terms (tried in order; the first that applies decides a row's fate):\n";
    int number = 0;
    for (const std::string& term : CqzFilterDocument::DescribeTerms(session.GetSetupMarkup()))
    {
        std::string escape;
        if (color && term.rfind("Color #", 0) == 0)
            if (const auto rgb = CqzColorName::Parse(term.substr(6, 7)))
                escape = CqzColorName::TerminalEscape(*rgb);
        out << "  " << ++number << ". " << escape << CqzTerminalText::Sanitize(term)
            << (escape.empty() ? "" : "\033[0m") << "\n";
    }
}

void WriteSummary(const SqzFilterCounts& counts, bool enabled,
                  const std::optional<SqzTermCounts>& terms, std::ostream& out)
{
    out << "Summary: " << CqzFilterSummary::Describe(counts)
        << (enabled ? "" : " (the filter is disabled)") << "\n";
    if (terms)
        for (const std::string& line : CqzTermCountText::Describe(*terms))
            out << "  " << CqzTerminalText::Sanitize(line) << "\n";
}

// The listing, as soon as the rows it shows have arrived: written again over twice the rows
// while it runs to the last row that arrived. A listing that needs every row (--all, or
// starting near colour) waits for the end of the import.
void WriteListing(const SqzHostOptions& options, CqzHostSession& session, int table,
                  std::ostream& out)
{
    const SqzListingOptions listing{options.limit, options.showHidden, UseColor(options.colorMode),
                                    options.firstRow, options.lastRow,
                                    options.useSample && !options.rowsGiven, table};
    if (listing.limit < 0 || listing.nearColor)
        session.FinishCapture();
    for (;;)
    {
        std::ostringstream text;
        const bool ranToEnd =
            CqzListingWriter(text, listing).Write(session.GetData(), session.GetInstanceID());
        if (!ranToEnd || !session.IsLoading())
        {
            out << text.str() << std::flush;
            return;
        }
        session.WaitForRows(2 * session.GetData().GetTable(0)->GetRowCount());
    }
}

void WriteOutputs(const SqzHostOptions& options, CqzHostSession& session, std::ostream& out)
{
    const int table = CqzListedTables::Chosen(options, session);
    const bool listing = options.listing && !options.json;
    if (listing && options.useSample)
        WriteLegend(session, UseColor(options.colorMode), out);
    if (listing)
        WriteListing(options, session, table, out);
    // What counts every row waits for all of them.
    session.FinishCapture();
    const CqzData& data = session.GetData();
    const CqzID& instance = session.GetInstanceID();
    const SqzFilterCounts counts = CqzFilterSummary::Count(data, instance, options.progress, table);
    // Then what each term decided: the summary read every row, so every page is produced.
    std::optional<SqzTermCounts> terms;
    if (session.IsFilterEnabled())
        terms = CqzTermCountText::Get(instance);
    if (options.json)
        out << CqzSummaryJson::Format({options.capture, counts, session.IsFilterEnabled(),
                                       CqzFilterDocument::DescribeTerms(session.GetSetupMarkup()),
                                       terms})
            << "\n";
    else
        WriteSummary(counts, session.IsFilterEnabled(), terms, out);
    if (!options.csv.empty())
        CqzCsvExporter::Export(options.csv, data, instance, options.progress, table);
    if (!options.html.empty())
    {
        const SqzHtmlPage page{"qzfilter: " + options.capture,
                               CqzFilterDocument::DescribeTerms(session.GetSetupMarkup()),
                               counts,
                               options.showHidden,
                               options.progress,
                               table};
        CqzHtmlExporter::Export(options.html, data, instance, page);
    }
}

} // namespace

int CqzListCommand::Run(SqzHostOptions& options, std::string& phase, std::ostream& out,
                        std::ostream& err, const CqzSessionEditor* editor)
{
    if (options.listDecoders)
    {
        CqzDecoderList::Write(out);
        return eqzExitOk;
    }
    const std::unique_ptr<CqzHostSession> opened =
        CqzSessionOpener::Open(options, phase, err, editor, editor == nullptr);
    if (!opened)
        return eqzExitOk;
    CqzHostSession& session = *opened;
    if (options.listLabels)
    {
        WriteLabels(session, out);
        return eqzExitOk;
    }
    phase = "writing the setup";
    if (!options.saveMarkup.empty())
        session.SaveMarkupFile(options.saveMarkup);
    if (!options.saveSetup.empty())
        session.SaveSetupFile(options.saveSetup);
    phase = "writing the listing and the exports";
    if (options.printSetup)
        out << session.GetMarkupText();
    else
        WriteOutputs(options, session, out);
    return eqzExitOk;
}
