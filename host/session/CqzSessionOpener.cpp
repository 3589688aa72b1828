#include "CqzSessionOpener.h"

#include "CqzFilterDocument.h"
#include "CqzHostError.h"
#include "CqzOutputFile.h"
#include "CqzPlugInLoader.h"
#include "CqzProgress.h"
#include "CqzSessionEditor.h"
#include "CqzTermError.h"
#include "CqzTermParser.h"
#include "CqzTerminalText.h"
#include "qzSystem/managers/CqzMemoryBudget.h"
#include "qzSystem/managers/CqzMemoryLimitError.h"

#include <new>
#include <stdexcept>

namespace
{
// What a filter run adds to each row: its 64-bit record and the page and cache bookkeeping.
constexpr std::uint64_t RunBytesPerRow = 9;

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


// Output files are checked before the capture is loaded, so that a bad path costs no run and
// no output replaces an input of the run.
void CheckOutputs(const SqzHostOptions& options)
{
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {options.csv, "CSV file"},
        {options.html, "HTML file"},
        {options.saveMarkup, "markup file"},
        {options.saveSetup, "setup file"}};
    for (const auto& [path, what] : outputs)
        if (!path.empty())
            CqzOutputFile::CheckWritable(path, what);
    CqzOutputFile::CheckNotInput(outputs,
                                 {options.capture, options.setupMarkup, options.loadSetup});
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

// The decoders' tables join the data set before the terms are read, so that terms can name
// their labels; a decode longer than a second shows a progress bar.
void Decode(const SqzHostOptions& options, CqzHostSession& session, std::uint64_t samplerate,
            std::string& phase)
{
    phase = "decoding";
    CqzProgress bar("Decode", 0, options.progress);
    SqzDecodeRequest request = options.decode;
    request.captureRate = samplerate;
    request.budget = &CqzMemoryBudget::Run();
    request.progress = [&bar](std::uint64_t done, std::uint64_t total)
    {
        bar.SetTotal(static_cast<std::int64_t>(total));
        bar.Update(static_cast<std::int64_t>(done));
        return true;
    };
    session.Decode(request);
}

// The import's options: notes (channels skipped) go to standard error.
SqzCaptureOptions CaptureOptions(const SqzHostOptions& options, std::ostream& err)
{
    SqzCaptureOptions capture = options.captureOptions;
    capture.runBytesPerRow = RunBytesPerRow;
    capture.note = [&err](const std::string& note) { err << "qzfilter: note: " << note << "\n"; };
    return capture;
}

// An allocation failure anywhere: the capture or the setup needs more memory than there is.
int OutOfMemory(std::ostream& err, const std::string& phase)
{
    err << "qzfilter: out of memory while " << CqzTerminalText::Sanitize(phase)
        << ": the capture or the setup needs more memory than this machine has\n";
    return eqzExitCapture;
}

} // namespace

std::unique_ptr<CqzHostSession> CqzSessionOpener::Open(SqzHostOptions& options, std::string& phase,
                                                       std::ostream& err,
                                                       const CqzSessionEditor* editor,
                                                       bool growing)
{
    if (options.useSample)
    {
        options.capture = CqzSessionOpener::SampleCapture();
        if (options.terms.empty() && options.setupMarkup.empty() && options.loadSetup.empty())
            options.setupMarkup = CqzSessionOpener::SampleSetup();
        err << "qzfilter: no capture given; using the sample " << options.capture
            << (options.setupMarkup == CqzSessionOpener::SampleSetup() ? " with its setup " : "")
            << (options.setupMarkup == CqzSessionOpener::SampleSetup() ? options.setupMarkup : "")
            << "\n";
    }
    CheckOutputs(options);
    phase = "loading the capture '" + options.capture + "'";
    auto opened = std::make_unique<CqzHostSession>();
    CqzHostSession& session = *opened;
    std::uint64_t samplerate = 0;
    if (growing && options.decode.stacks.empty())
        session.StartCapture(options.capture, CaptureOptions(options, err));
    else
    {
        // A long import shows a progress bar on standard error.
        CqzProgress bar("Import", 0, options.progress);
        SqzCaptureOptions capture = CaptureOptions(options, err);
        capture.progress = [&bar](std::uint64_t done, std::uint64_t total)
        {
            bar.SetTotal(static_cast<std::int64_t>(total));
            bar.Update(static_cast<std::int64_t>(done));
        };
        capture.samplerate = [&samplerate](std::uint64_t rate) { samplerate = rate; };
        session.LoadCapture(options.capture, capture);
    }
    if (!options.decode.stacks.empty())
        Decode(options, session, samplerate, phase);
    if (options.listLabels)
        return opened;
    phase = "reading the terms";
    const std::vector<SqzHostFilterTerm> terms = ParseTerms(options, session, err);
    phase = "starting the plug-in";
    session.StartTool(CqzPlugInLoader::ChoosePath(options.plugin));
    ApplyFilter(options, session, terms, phase);
    phase = "editing the filter";
    if (editor != nullptr && !editor->Edit(session, err))
        return nullptr;
    phase = "running the filter";
    if (!options.printSetup)
        session.Run();
    return opened;
}

int CqzSessionOpener::Guarded(const std::function<int(std::string& phase)>& body, std::ostream& err)
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
    catch (const CqzMemoryLimitError& error)
    {
        err << "qzfilter: " << CqzTerminalText::Sanitize(phase + ": " + error.what()) << "\n";
        return eqzExitCapture;
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

std::string CqzSessionOpener::SampleCapture()
{
#ifdef QZ_SAMPLE_CAPTURE
    return QZ_SAMPLE_CAPTURE;
#else
    return "samples/cpu-bus.vcd";
#endif
}

std::string CqzSessionOpener::SampleSetup()
{
#ifdef QZ_SAMPLE_SETUP
    return QZ_SAMPLE_SETUP;
#else
    return "samples/cpu-bus.xml";
#endif
}
