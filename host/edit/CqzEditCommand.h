#pragma once
// `qzfilter edit`: opens the tool's dialog "Filter" (its editor command, GetUICmds(5)) over the
// loaded capture and setup. Its own options are taken out of the argument list before the
// listing options are parsed:
//   --screenshot FILE.png  renders the dialog offscreen as it opens (after --script), writes
//                          the picture and cancels; nothing else is written
//   --script FILE          person-level steps applied to the open dialog (CqzEditScript)
//   --favorites FILE       where favourites are kept between runs (default
//                          $XDG_CONFIG_HOME/qzfilter/favorites.qzs, else
//                          ~/.config/qzfilter/favorites.qzs)
// OK applies the edited filter and the run goes on as a listing does; Cancel ends the run
// with nothing written but the favourites, which are written as they change
// (CqzFavoritesKeeper).

#include "CqzSessionEditor.h"

#include <ostream>
#include <string>
#include <vector>

class CWnd;
class CqzHostSession;

class CqzEditCommand : public CqzSessionEditor
{
public:
    // Takes the edit options out of `arguments` (the word "edit" already removed).
    explicit CqzEditCommand(std::vector<std::string>& arguments);

    // Refuses (exit code 1) when there is no display and no screenshot was asked for. Call
    // before the capture is loaded.
    void CheckDisplay() const;
    // Runs the dialog; true when it ended with OK.
    bool Edit(CqzHostSession& session, std::ostream& err) const override;

private:
    bool Show(CqzHostSession& session) const;
    void WriteScreenshot(CWnd* dialog) const;

    std::string m_screenshot;
    std::string m_script;
    std::string m_favorites;
};
