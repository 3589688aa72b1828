#include "CqzListCommand.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzHtmlExporter.h"
#include "CqzListingWriter.h"
#include "CqzSessionOpener.h"
#include "CqzTermCountText.h"
#include "CqzTerminalText.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
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

void WriteOutputs(const SqzHostOptions& options, const CqzHostSession& session, std::ostream& out)
{
    const CqzData& data = session.GetData();
    const CqzID& instance = session.GetInstanceID();
    if (options.listing && options.useSample)
        WriteLegend(session, UseColor(options.colorMode), out);
    if (options.listing)
        CqzListingWriter(out, {options.limit, options.showHidden, UseColor(options.colorMode),
                               options.firstRow, options.lastRow,
                               options.useSample && !options.rowsGiven})
            .Write(data, instance);
    const SqzFilterCounts counts = CqzFilterSummary::Count(data, instance, options.progress);
    out << "Summary: " << CqzFilterSummary::Describe(counts)
        << (session.IsFilterEnabled() ? "" : " (the filter is disabled)") << "\n";
    // Then what each term decided: the summary read every row, so every page is produced.
    if (session.IsFilterEnabled())
        if (const auto terms = CqzTermCountText::Get(instance))
            for (const std::string& line : CqzTermCountText::Describe(*terms))
                out << "  " << CqzTerminalText::Sanitize(line) << "\n";
    if (!options.csv.empty())
        CqzCsvExporter::Export(options.csv, data, instance, options.progress);
    if (!options.html.empty())
    {
        const SqzHtmlPage page{"qzfilter: " + options.capture,
                               CqzFilterDocument::DescribeTerms(session.GetSetupMarkup()), counts,
                               options.showHidden, options.progress};
        CqzHtmlExporter::Export(options.html, data, instance, page);
    }
}

} // namespace

int CqzListCommand::Run(SqzHostOptions& options, std::string& phase, std::ostream& out,
                        std::ostream& err, const CqzSessionEditor* editor)
{
    const std::unique_ptr<CqzHostSession> opened =
        CqzSessionOpener::Open(options, phase, err, editor);
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
