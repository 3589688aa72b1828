#include "CqzViewCommand.h"

#include "CqzFavoritesKeeper.h"
#include "CqzHostError.h"
#include "CqzListedTables.h"
#include "CqzOutputFile.h"
#include "CqzSessionOpener.h"
#include "CqzViewScript.h"
#include "CqzViewWindow.h"
#include "mfc/ui/AfxWin.h"

#include <QApplication>
#include <QBuffer>
#include <QMessageBox>
#include <QPixmap>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <utility>
#include <ostream>

namespace
{

struct SqzViewOptions
{
    std::string screenshot;
    std::string script;
    std::string favorites = CqzFavoritesFile::DefaultPath();
    bool countAll = false;
};

// The value of "--name VALUE" or "--name=VALUE" at arguments[i] into `value`; false for another
// argument.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::string& value)
{
    const std::string& argument = arguments[i];
    if (argument.rfind(name + "=", 0) == 0)
        value = argument.substr(name.size() + 1);
    else if (argument != name)
        return false;
    else if (i + 1 >= arguments.size())
        throw CqzHostError(eqzExitUsage, name + " needs a file name");
    else
        value = arguments[++i];
    return true;
}

// Takes the options of the window (--screenshot FILE, --script FILE, --favorites FILE,
// --count-all) out of the arguments.
std::vector<std::string> TakeViewOptions(const std::vector<std::string>& arguments,
                                         SqzViewOptions& view)
{
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == "--count-all")
            view.countAll = true;
        else if (!TakeValue(arguments, i, "--screenshot", view.screenshot) &&
                 !TakeValue(arguments, i, "--script", view.script) &&
                 !TakeValue(arguments, i, "--favorites", view.favorites))
            rest.push_back(arguments[i]);
    }
    return rest;
}

// The window layer's start: it refuses when no graphical session can be had.
bool StartWindows()
{
    static int argc = 1;
    static char name[] = "qzfilter";
    static char* argv[] = {name, nullptr};
    return AfxWinInit(argc, argv) != FALSE;
}

// Ends the window layer's application object after everything that drew with it.
struct SqzWindowsScope
{
    SqzWindowsScope() = default;
    SqzWindowsScope(const SqzWindowsScope&) = delete;
    SqzWindowsScope& operator=(const SqzWindowsScope&) = delete;
    ~SqzWindowsScope() { AfxWinTerm(); }
};

int Screenshot(CqzViewWindow& window, const std::string& screenshot)
{
    QApplication::processEvents();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!window.grab().save(&buffer, "PNG"))
        throw CqzHostError(eqzExitFile, screenshot + ": cannot make the picture");
    CqzOutputFile::Write(screenshot, "picture", png.toStdString());
    return eqzExitOk;
}

// Shows one capture until the window closes (the script's steps first, once every row has
// arrived); `next` is then the capture the person chose to open instead (empty: none, the view
// ends).
int Show(CqzHostSession& session, const SqzHostOptions& options, const SqzViewOptions& view,
         const CqzViewScript* script, CqzViewSettings& settings, std::string& next)
{
    CqzViewWindow window(session, options.capture, options.showHidden);
    window.UseSettings(settings);
    if (!options.useSample)
        settings.AddRecent(options.capture);
    if (view.screenshot.empty())
        window.SetOnOpen([&next](const std::string& path) { next = path; });
    if (const int table = CqzListedTables::Chosen(options, session); table >= 0)
        window.ShowTable(table);
    window.show();
    if (options.rowsGiven)
    {
        // The row asked for, once it has arrived.
        session.WaitForRows(options.firstRow + 1);
        window.GetLoading().Follow();
        window.GetTable().GoTo(options.firstRow);
    }
    if (view.countAll)
    {
        // Every row: the import's end first (its failure ends the command).
        session.FinishCapture();
        window.GetLoading().Follow();
        window.CountAll();
    }
    if (script != nullptr)
    {
        session.FinishCapture();
        window.GetLoading().Follow();
        script->Apply(window);
    }
    if (!view.screenshot.empty())
        return Screenshot(window, view.screenshot);
    // A script may have closed the window.
    const int code = window.isVisible() ? QApplication::exec() : int(eqzExitOk);
    if (const auto failure = settings.Save())
        std::cerr << "qzfilter: " << *failure << " (the view's settings are not kept)\n";
    return code;
}

// Why a capture was refused, naming it once: the importers' refusals begin with the file.
std::string Refusal(const std::string& capture, const std::string& what)
{
    return what.rfind(capture, 0) == 0 ? what : capture + ": " + what;
}

// Opens the capture of the options and shows it; then each capture the person opens from the
// window, with the same terms and setups. A capture that cannot be opened is said in a message
// box and the one before it comes back.
// The script replays the first capture's window only.
int ShowCaptures(SqzHostOptions& options, const SqzViewOptions& view,
                 const std::optional<CqzViewScript>& script, std::string& phase, std::ostream& err)
{
    // A picture shows the window as it first opens, whatever this machine remembers.
    CqzViewSettings settings(CqzViewSettings::PathBeside(view.favorites));
    if (view.screenshot.empty())
        settings.Load();
    std::string previous;
    for (;;)
    {
        std::unique_ptr<CqzHostSession> session;
        try
        {
            session = CqzSessionOpener::Open(options, phase, err, nullptr, true);
        }
        catch (const std::exception& error)
        {
            if (previous.empty())
                throw;
            QMessageBox::warning(nullptr, QStringLiteral("qzfilter view"),
                                 QString::fromStdString(Refusal(options.capture, error.what())));
            options.capture = std::exchange(previous, std::string());
            continue;
        }
        phase = "showing the window";
        std::string next;
        const int code =
            Show(*session, options, view, previous.empty() && script ? &*script : nullptr,
                 settings, next);
        if (next.empty())
            return code;
        previous = options.capture;
        options.capture = next;
        // The sample's own setup came with the sample; another capture opens without it.
        if (options.useSample && options.setupMarkup == CqzSessionOpener::SampleSetup())
            options.setupMarkup.clear();
        options.useSample = false;
        options.rowsGiven = false;
        options.table.clear();
    }
}

} // namespace

int CqzViewCommand::Run(const std::vector<std::string>& arguments, std::ostream& out,
                        std::ostream& err)
{
    return CqzSessionOpener::Guarded(
        [&](std::string& phase)
        {
            SqzViewOptions view;
            SqzHostOptions options = CqzHostOptions::Parse(TakeViewOptions(arguments, view));
            const std::string& screenshot = view.screenshot;
            if (options.help)
            {
                out << Usage();
                return int(eqzExitOk);
            }
            if (!screenshot.empty())
            {
                CqzOutputFile::CheckWritable(screenshot, "picture");
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
            }
            // A script that is not one is refused before anything opens.
            const std::optional<CqzViewScript> script =
                view.script.empty()
                    ? std::nullopt
                    : std::optional<CqzViewScript>(CqzViewScript::Load(view.script));
            phase = "opening the window";
            const SqzWindowsScope windows;
            if (!StartWindows())
                throw CqzHostError(eqzExitUsage,
                                   "view needs a display: run it on a desktop (DISPLAY or "
                                   "WAYLAND_DISPLAY set), or give --screenshot FILE.png");
            const CqzFavoritesKeeper favorites(view.favorites, err);
            return ShowCaptures(options, view, script, phase, err);
        },
        err);
}

std::string CqzViewCommand::Usage()
{
    return "Usage: qzfilter view [OPTIONS] [CAPTURE]\n"
           "Shows the capture through the filter in a window: hidden rows left out (View >\n"
           "Show hidden rows draws them dimmed), coloured rows in their colour, the rows each\n"
           "term decided beside the table. Without a capture, the bundled sample and its setup.\n"
           "Takes the capture and term options of a listing (qzfilter --help), and:\n"
           "  --rows A:             open at row A\n"
           "  --count-all           count every row at once (the term counts cover them all)\n"
           "  --favorites FILE      where the Filter dialog keeps favourites (as for edit)\n"
           "  --script FILE         replay a person's steps in the window, the Filter dialog's\n"
           "                        among them (steps listed in the README)\n"
           "  --screenshot FILE.png  draw the window as it opens (or as --script leaves it),\n"
           "                        offscreen, and end\n";
}
