#pragma once
// What a command that edits the filter before the run (`qzfilter edit`) offers the session's
// opening steps: its dialog once the setup is applied. The session knows nothing more of the
// editor.

#include <iosfwd>

class CqzHostSession;

class CqzSessionEditor
{
public:
    virtual ~CqzSessionEditor() = default;

    // Runs the editor; false when the person cancelled it (the run then ends).
    virtual bool Edit(CqzHostSession& session, std::ostream& err) const = 0;
};
