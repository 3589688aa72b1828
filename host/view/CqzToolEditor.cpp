#include "CqzToolEditor.h"

#include "qzSystem/managers/CqzPlugInMgr.h"
#include "qzSystem/commands/CqzUICmdBase.h"
#include "qzSystem/plugin/CqzPlugInAnToolBase.h"

#include <vector>

CqzMvcCommand* CqzToolEditor::Find(CqzPlugInInterface& tool)
{
    const std::vector<CqzUICmdBase*> commands = tool.GetUICmds(EditorCmdKind);
    return commands.empty() ? nullptr : commands.front();
}

bool CqzToolEditor::Edit(CqzPlugInInterface& tool)
{
    CqzMvcCommand* command = Find(tool);
    if (command == nullptr)
        return false;
    bool runAsked = false;
    CqzPlugInMgr::Instance().SetRunHandler(
        [&runAsked, &tool](CqzPlugInAnToolBase* asking)
        { runAsked = runAsked || static_cast<CqzPlugInInterface*>(asking) == &tool; });
    command->Execute();
    CqzPlugInMgr::Instance().SetRunHandler(nullptr);
    return runAsked;
}
