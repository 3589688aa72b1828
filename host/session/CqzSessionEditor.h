#pragma once
// What a command that edits the filter before the run (`qzfilter edit`) offers the session's
// opening steps: its favourites loaded once the tool is started, and its dialog once the setup
// is applied. The session knows nothing more of the editor.

#include <iosfwd>

class CqzHostSession;

class CqzSessionEditor
{
public:
    virtual ~CqzSessionEditor() = default;

    // Loads the favourites; called before the setup is applied.
    virtual void LoadFavorites(CqzHostSession& session) const = 0;
    // Runs the editor; false when the person cancelled it (the run then ends).
    virtual bool Edit(CqzHostSession& session, std::ostream& err) const = 0;
};
