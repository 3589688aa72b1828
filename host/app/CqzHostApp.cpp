#include "CqzHostApp.h"

#include "CqzCsvExporter.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHostOptions.h"
#include "CqzHostSession.h"
#include "CqzHtmlExporter.h"
#include "CqzListingWriter.h"
#include "CqzPlugInLoader.h"
#include "CqzProgress.h"
#include "CqzTermError.h"
#include "CqzTermParser.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace
{

std::string Describe(const SqzHostTerm& term)
{
    return term.option + " '" + term.expression + "'";
}

std::vector<SqzHostFilterTerm> ParseTerms(const SqzHostOptions& options,
                                          const CqzHostSession& session, std::ostream& err)
{
    const CqzTermParser parser(session.GetLabels());
    std::vector<SqzHostFilterTerm> terms;
    for (const SqzHostTerm& term : options.terms)
    {
        std::vector<std::string> notes;
        try
        {
            terms.push_back({CString::FromUtf8(term.name.empty() ? term.expression : term.name),
                             parser.Parse(term.expression, &notes), term.action, term.color});
        }
        catch (const CqzTermError& error)
        {
            throw CqzHostError(eqzExitUsage, Describe(term) + ": " + error.what());
        }
        for (const std::string& note : notes)
            err << "qzfilter: note: " << term.option << ": " << note << "\n";
    }
    return terms;
}

void SendTerms(CqzHostSession& session, const std::vector<SqzHostFilterTerm>& terms,
               bool afterSetup)
{
    // Without a setup the terms replace the new tool's default term, also when there are none.
    if (terms.empty() && afterSetup)
        return;
    CqzFilterDocument document;
    if (afterSetup)
        document.SetBase(session.GetSetupMarkup());
    for (const SqzHostFilterTerm& term : terms)
        document.AddTerm(term);
    // A fresh parser of the text stands before the root element, where the tool looks for it.
    CqzXMLParser xml(document.GetText());
    if (!session.ApplyMarkup(xml))
        throw CqzHostError(eqzExitPlugIn, "the filter tool refused the terms");
}

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
    const std::vector<const CqzLabel*> labels = session.GetLabels();
    std::size_t width = 5;
    for (const CqzLabel* label : labels)
        width = std::max(width, label->GetName().ToUtf8().size());
    const auto line = [&](const std::string& name, const std::string& type, const std::string& bits)
    {
        out << name << std::string(width + 2 - name.size(), ' ') << type
            << std::string(type.size() < 15 ? 15 - type.size() : 1, ' ') << bits << "\n";
    };
    line("Label", "Type", "Width");
    for (const CqzLabel* label : labels)
        line(label->GetName().ToUtf8(), TypeName(*label),
             label->IsType(eqzLabelString) ? "-" : std::to_string(label->GetWidth()));
}

void WriteOutputs(const SqzHostOptions& options, const CqzHostSession& session, std::ostream& out)
{
    const CqzData& data = session.GetData();
    const CqzID& instance = session.GetInstanceID();
    if (options.listing)
        CqzListingWriter(out, {options.limit, options.showHidden, UseColor(options.colorMode),
                               options.firstRow, options.lastRow})
            .Write(data, instance);
    const SqzFilterCounts counts = CqzFilterSummary::Count(data, instance, options.progress);
    out << "Summary: " << CqzFilterSummary::Describe(counts)
        << (session.IsFilterEnabled() ? "" : " (the filter is disabled)") << "\n";
    if (!options.csv.empty())
        CqzCsvExporter::Export(options.csv, data, instance, options.progress);
    if (!options.html.empty())
    {
        SqzHtmlPage page{
            "qzfilter: " + options.capture, {}, counts, options.showHidden, options.progress};
        for (const SqzHostTerm& term : options.terms)
            page.terms.push_back(Describe(term));
        CqzHtmlExporter::Export(options.html, data, instance, page);
    }
}

int RunSession(SqzHostOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.useSample)
    {
        options.capture = CqzHostApp::SampleCapture();
        if (options.terms.empty() && options.setupMarkup.empty() && options.loadSetup.empty())
            options.setupMarkup = CqzHostApp::SampleSetup();
        err << "qzfilter: no capture given; using the sample " << options.capture
            << (options.setupMarkup == CqzHostApp::SampleSetup() ? " with its setup " : "")
            << (options.setupMarkup == CqzHostApp::SampleSetup() ? options.setupMarkup : "")
            << "\n";
    }
    CqzHostSession session;
    {
        // Notes of the import (channels skipped) go to standard error; a long import shows a
        // progress bar there.
        CqzProgress bar("Import", 0, options.progress);
        SqzCaptureOptions capture = options.captureOptions;
        capture.note = [&err](const std::string& note)
        { err << "qzfilter: note: " << note << "\n"; };
        capture.progress = [&bar](std::uint64_t done, std::uint64_t total)
        {
            bar.SetTotal(static_cast<std::int64_t>(total));
            bar.Update(static_cast<std::int64_t>(done));
        };
        session.LoadCapture(options.capture, capture);
    }
    if (options.listLabels)
    {
        WriteLabels(session, out);
        return eqzExitOk;
    }
    const std::vector<SqzHostFilterTerm> terms = ParseTerms(options, session, err);
    session.StartTool(CqzPlugInLoader::ChoosePath(options.plugin));
    if (!options.loadSetup.empty())
    {
        const int stored = session.LoadSetupFile(options.loadSetup);
        if (const int kept = session.GetTermCount(); kept < stored)
            err << "qzfilter: note: " << options.loadSetup << ": " << stored - kept << " of "
                << stored << " terms name labels this capture does not have; they were dropped\n";
    }
    if (!options.setupMarkup.empty())
        session.ApplyMarkupFile(options.setupMarkup);
    SendTerms(session, terms, !options.loadSetup.empty() || !options.setupMarkup.empty());
    if (!options.printSetup)
        session.Run();
    if (!options.saveMarkup.empty())
        session.SaveMarkupFile(options.saveMarkup);
    if (!options.saveSetup.empty())
        session.SaveSetupFile(options.saveSetup);
    if (options.printSetup)
        out << session.GetMarkupText();
    else
        WriteOutputs(options, session, out);
    return eqzExitOk;
}

} // namespace

int CqzHostApp::Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    try
    {
        SqzHostOptions options = CqzHostOptions::Parse(arguments);
        if (options.help)
        {
            out << CqzHostOptions::Usage();
            return eqzExitOk;
        }
        return RunSession(options, out, err);
    }
    catch (const CqzHostError& error)
    {
        err << "qzfilter: " << error.what() << "\n";
        return error.GetExitCode();
    }
    catch (const std::exception& error)
    {
        err << "qzfilter: unexpected error: " << error.what() << "\n";
        return eqzExitFile;
    }
}

std::string CqzHostApp::SampleCapture()
{
#ifdef QZ_SAMPLE_CAPTURE
    return QZ_SAMPLE_CAPTURE;
#else
    return "samples/cpu-bus.vcd";
#endif
}

std::string CqzHostApp::SampleSetup()
{
#ifdef QZ_SAMPLE_SETUP
    return QZ_SAMPLE_SETUP;
#else
    return "samples/cpu-bus.xml";
#endif
}
