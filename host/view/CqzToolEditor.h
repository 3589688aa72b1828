#pragma once
// Opens a tool's editor as a host does: the first of the tool's user-interface commands of
// kind 5 is executed (the tool's dialog, modal; the call returns when it closes). A tool that
// accepts a new setup asks the host to run it (CqzPlugInMgr::RequestRun); Edit answers
// whether it did, so that the caller runs it through the run message afterwards, outside
// the dialog.

class CqzMvcCommand;
class CqzPlugInInterface;

class CqzToolEditor
{
public:
    static constexpr int EditorCmdKind = 5;

    // The tool's editor command, or null when it offers none.
    static CqzMvcCommand* Find(CqzPlugInInterface& tool);
    // Executes the editor command; false when there is none or the tool asked for no run.
    static bool Edit(CqzPlugInInterface& tool);
};
