#include "CqzHostApp.h"

#include "CqzEditCommand.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHostOptions.h"
#include "CqzHostSession.h"
#include "CqzHtmlExporter.h"
#include "CqzListingWriter.h"
#include "CqzPlugInLoader.h"
#include "CqzOutputFile.h"
#include "CqzRowAttributes.h"
#include "CqzProgress.h"
#include "CqzTermError.h"
#include "CqzTermCountText.h"
#include "CqzTermParser.h"
#include "CqzTerminalText.h"
#include "CqzViewCommand.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
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
            err << "qzfilter: note: " << CqzTerminalText::Sanitize(term.option + ": " + note)
                << "\n";
    }
    return terms;
}

// `base`: the markup of the setup applied before (the terms follow its terms); empty without
// one, when the terms replace the new tool's default term, also when there are none.
void SendTerms(CqzHostSession& session, const std::vector<SqzHostFilterTerm>& terms,
               const CString& base)
{
    CqzFilterDocument document;
    if (!base.IsEmpty())
        document.SetBase(base);
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

// Output files are checked before the capture is loaded, so that a bad path costs no run.
void CheckOutputs(const SqzHostOptions& options)
{
    for (const auto& [path, what] : {std::pair{options.csv, "CSV file"},
                                     {options.html, "HTML file"},
                                     {options.saveMarkup, "markup file"},
                                     {options.saveSetup, "setup file"}})
        if (!path.empty())
            CqzOutputFile::CheckWritable(path, what);
}

// Applies --load-setup and --setup, then the terms; answers nothing, but names what it does
// in `phase` for the message of an allocation failure.
void ApplyFilter(const SqzHostOptions& options, CqzHostSession& session,
                 const std::vector<SqzHostFilterTerm>& terms, std::string& phase)
{
    CString base;
    if (!options.loadSetup.empty())
    {
        phase = "loading the setup '" + options.loadSetup + "'";
        session.LoadSetupFile(options.loadSetup);
        if (options.setupMarkup.empty() && !terms.empty())
            base = session.GetSetupMarkup();
    }
    if (!options.setupMarkup.empty())
    {
        phase = "applying the setup '" + options.setupMarkup + "'";
        base = session.ApplyMarkupFile(options.setupMarkup);
    }
    phase = "applying the terms";
    const bool afterSetup = !options.loadSetup.empty() || !options.setupMarkup.empty();
    if (!terms.empty() || !afterSetup)
        SendTerms(session, terms, base);
}

} // namespace

std::unique_ptr<CqzHostSession> CqzHostApp::OpenSession(SqzHostOptions& options, std::string& phase,
                                                        std::ostream& err,
                                                        const CqzEditCommand* edit)
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
    CheckOutputs(options);
    phase = "loading the capture '" + options.capture + "'";
    auto opened = std::make_unique<CqzHostSession>();
    CqzHostSession& session = *opened;
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
        return opened;
    phase = "reading the terms";
    const std::vector<SqzHostFilterTerm> terms = ParseTerms(options, session, err);
    phase = "starting the plug-in";
    session.StartTool(CqzPlugInLoader::ChoosePath(options.plugin));
    if (edit != nullptr)
        edit->LoadFavorites(session);
    ApplyFilter(options, session, terms, phase);
    phase = "editing the filter";
    if (edit != nullptr && !edit->Edit(session, err))
        return nullptr;
    phase = "running the filter";
    if (!options.printSetup)
        session.Run();
    return opened;
}

namespace
{

// `edit`, when given, opens the dialog once the setup is applied; a cancelled dialog ends the
// run before anything is written.
int RunSession(SqzHostOptions& options, std::string& phase, std::ostream& out, std::ostream& err,
               const CqzEditCommand* edit = nullptr)
{
    const std::unique_ptr<CqzHostSession> opened =
        CqzHostApp::OpenSession(options, phase, err, edit);
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

// An allocation failure anywhere: the capture or the setup needs more memory than there is.
int OutOfMemory(std::ostream& err, const std::string& phase)
{
    err << "qzfilter: out of memory while " << CqzTerminalText::Sanitize(phase)
        << ": the capture or the setup needs more memory than this machine has\n";
    return eqzExitCapture;
}

} // namespace

int CqzHostApp::Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (!arguments.empty() && arguments.front() == "view")
        return CqzViewCommand::Run({arguments.begin() + 1, arguments.end()}, out, err);
    return Guarded(
        [&](std::string& phase)
        {
            std::vector<std::string> rest = arguments;
            const bool editing = !rest.empty() && rest.front() == "edit";
            if (editing)
                rest.erase(rest.begin());
            const std::optional<CqzEditCommand> edit =
                editing ? std::optional<CqzEditCommand>(CqzEditCommand(rest)) : std::nullopt;
            SqzHostOptions options = CqzHostOptions::Parse(rest);
            if (options.help)
            {
                out << CqzHostOptions::Usage();
                return int(eqzExitOk);
            }
            if (edit)
                edit->CheckDisplay();
            return RunSession(options, phase, out, err, edit ? &*edit : nullptr);
        },
        err);
}

int CqzHostApp::Guarded(const std::function<int(std::string& phase)>& body, std::ostream& err)
{
    std::string phase = "reading the command line";
    try
    {
        return body(phase);
    }
    catch (const CqzHostError& error)
    {
        err << "qzfilter: " << CqzTerminalText::Sanitize(error.what()) << "\n";
        return error.GetExitCode();
    }
    catch (const std::bad_alloc&)
    {
        return OutOfMemory(err, phase);
    }
    catch (const std::length_error&)
    {
        return OutOfMemory(err, phase);
    }
    catch (const std::exception& error)
    {
        err << "qzfilter: unexpected error while " << CqzTerminalText::Sanitize(phase) << ": "
            << CqzTerminalText::Sanitize(error.what()) << "\n";
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
