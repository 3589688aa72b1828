// The host's way into a tool's editor: the first command of kind 5 is executed, and the tool's
// run request made while it ran tells the host to run the tool again.

#include "CqzToolEditor.h"
#include "qzSystem/commands/CqzUICmdBase.h"
#include "qzSystem/managers/CqzPlugInMgr.h"
#include "qzSystem/plugin/CqzPlugInAnToolBase.h"

#include <gtest/gtest.h>

namespace
{

class TestEditorCmd : public CqzUICmdBase
{
public:
    TestEditorCmd() = default;
    void Sprint(CString& text) const override { text = L"TestEditorCmd"; }
    int IsUndoable() const override { return 0; }
    int SetUndoable(int) override { return 0; }
    int Unexecute() override { return 0; }
    int Execute() override
    {
        ++executed;
        if (asking != nullptr)
            asking->Run(); // as a dialog's OK does
        return 1;
    }

    int executed = 0;
    CqzPlugInAnToolBase* asking = nullptr;
};

class TestTool : public CqzPlugInAnToolBase
{
public:
    TestTool() : CqzPlugInAnToolBase(CqzID(), CqzID(), CqzID(), GUID{}) {}
    std::vector<CqzUICmdBase*> GetUICmds(int kind) override
    {
        kinds.push_back(kind);
        return offers ? std::vector<CqzUICmdBase*>{&command} : std::vector<CqzUICmdBase*>{};
    }

    TestEditorCmd command;
    bool offers = true;
    std::vector<int> kinds;
};

TEST(ToolEditor, ExecutesTheEditorCommandAndAnswersWhetherTheToolAskedToRun)
{
    CqzPlugInMgr::Instance().Reset();
    TestTool tool;
    EXPECT_FALSE(CqzToolEditor::Edit(tool)); // cancelled: no run asked
    tool.command.asking = &tool;
    EXPECT_TRUE(CqzToolEditor::Edit(tool));
    EXPECT_EQ(tool.command.executed, 2);
    EXPECT_EQ(tool.kinds, (std::vector<int>{5, 5}));

    // Another tool's run request is not this tool's.
    TestTool other;
    tool.command.asking = &other;
    EXPECT_FALSE(CqzToolEditor::Edit(tool));

    tool.offers = false;
    EXPECT_EQ(CqzToolEditor::Find(tool), nullptr);
    EXPECT_FALSE(CqzToolEditor::Edit(tool));
    EXPECT_EQ(tool.command.executed, 3);
    // The handler is gone afterwards: a later request reaches no one.
    tool.Run();
}

} // namespace
