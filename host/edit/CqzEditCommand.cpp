#include "CqzEditCommand.h"

#include "CqzDialogSizes.h"
#include "CqzEditScript.h"
#include "CqzFavoritesKeeper.h"
#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzOutputFile.h"
#include "CqzTerminalText.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CWnd.h"
#include "qzSystem/commands/CqzUICmdBase.h"
#include "qzSystem/managers/CqzHelpMgr.h"


#include <cstdlib>
#include <functional>

namespace
{
// Takes "--name VALUE" or "--name=VALUE" out of the arguments.
void TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value)
{
    for (auto it = arguments.begin(); it != arguments.end(); ++it)
    {
        if (*it == "--")
            return;
        if (it->rfind(name + "=", 0) == 0)
        {
            value = it->substr(name.size() + 1);
            arguments.erase(it);
            return;
        }
        if (*it == name)
        {
            if (it + 1 == arguments.end())
                throw CqzHostError(eqzExitUsage, name + " needs a file name");
            value = *(it + 1);
            arguments.erase(it, it + 2);
            return;
        }
    }
}

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

} // namespace

CqzEditCommand::CqzEditCommand(std::vector<std::string>& arguments)
{
    TakeOption(arguments, "--screenshot", m_screenshot);
    TakeOption(arguments, "--script", m_script);
    TakeOption(arguments, "--favorites", m_favorites);
    if (m_favorites.empty())
        m_favorites = CqzFavoritesFile::DefaultPath();
}

void CqzEditCommand::CheckDisplay() const
{
    if (!m_screenshot.empty())
    {
        CqzOutputFile::CheckWritable(m_screenshot, "screenshot");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    else if (!HasDisplay())
        throw CqzHostError(eqzExitUsage,
                           "edit needs a display to open the dialog (none found: DISPLAY and "
                           "WAYLAND_DISPLAY are unset); use --screenshot FILE.png to render it "
                           "offscreen");
}

// Through the safe writer: a failure keeps the old file and says why.
void CqzEditCommand::WriteScreenshot(CWnd* dialog) const
{
    std::string png;
    if (!AfxGetWindowImage(dialog, png))
        throw CqzHostError(eqzExitFile, m_screenshot + ": cannot make the picture");
    CqzOutputFile::Write(m_screenshot, "screenshot", png);
}

bool CqzEditCommand::Edit(CqzHostSession& session, std::ostream& err) const
{
    const std::string sizes = CqzDialogSizes::PathBeside(m_favorites);
    if (const std::string note = CqzDialogSizes::Load(sizes); !note.empty())
        err << "qzfilter: " << note << "\n";
    bool ok = false;
    {
        const CqzFavoritesKeeper favorites(m_favorites, err);
        ok = Show(session);
    }
    if (m_screenshot.empty())
        CqzDialogSizes::Save(sizes);
    if (!m_screenshot.empty())
    {
        err << "qzfilter: the dialog was written to " << CqzTerminalText::Sanitize(m_screenshot)
            << "\n";
        return false;
    }
    if (!ok)
    {
        err << "qzfilter: edit cancelled; nothing written\n";
        return false;
    }
    return true;
}

bool CqzEditCommand::Show(CqzHostSession& session) const
{
    static int argc = 1;
    static char name[] = "qzfilter";
    static char* argv[] = {name, nullptr};
    if (!AfxWinInit(argc, argv))
        throw CqzHostError(eqzExitUsage, "edit could not open a window on this display");
    // The toolkit ends with the dialog, before the plug-in library is unloaded.
    struct SqzToolkit
    {
        ~SqzToolkit() { AfxWinTerm(); }
    } toolkit;
    CqzHelpMgr::Instance().SetBrowserEnabled(m_screenshot.empty());
    const CqzEditScript script =
        m_script.empty() ? CqzEditScript::Parse("", "") : CqzEditScript::Load(m_script);
    const std::vector<CqzUICmdBase*> commands = session.GetUICmds(CqzUICmdBase::TypeID);
    if (commands.empty())
        throw CqzHostError(eqzExitPlugIn, "the filter tool offers no editor");
    const int result = script.Run(
        [&commands] { commands.front()->Execute(); },
        m_screenshot.empty() ? std::function<void(CWnd*)>()
                             : [this](CWnd* dialog) { WriteScreenshot(dialog); });
    return m_screenshot.empty() && result == IDOK;
}
