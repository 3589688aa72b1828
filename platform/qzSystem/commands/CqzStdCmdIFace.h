#pragma once
// The host's command interface of a plug-in instance: setup queries and markup commands.
// Operations a plug-in does not supply keep these defaults.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzID.h"

class CqzXMLParser;

class CqzStdCmdIFace
{
public:
    virtual ~CqzStdCmdIFace() = default;

    virtual int GetCmdIFaceVersion() const { return 1; }
    virtual const CString& GetBaseIFaceName() const;
    virtual const CqzID& GetInstanceID() const = 0;
    virtual bool DoCommands(CqzXMLParser&) { return false; }
    virtual bool DoCommand(const CString&, const CString&) { return false; }
    virtual bool QueryCommand(const CString&, CqzXMLParser&) { return false; }
    virtual bool ExecuteQuery(const CString&, CString& reply)
    {
        reply.Empty();
        return false;
    }
    // "Created by <owner's full name>", then a line feed and the label's own text if it has
    // one; an empty text for an unknown label.
    virtual CString GetLabelDescription(const CqzID& labelID) const;
};
