// The command bases: reference counting, the undo flag, value-changed commands that call
// their owner, and the named user-interface command's state in setups.

#include "qzSystem/commands/CqzNamedUICmdBase.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <gtest/gtest.h>

namespace
{
class Counted : public CqzNamedUICmdBase
{
public:
    explicit Counted(bool* deleted)
        : CqzNamedUICmdBase(L"Properties", L"filter"), m_deleted(deleted)
    {
    }
    ~Counted() override { *m_deleted = true; }
    void Sprint(CString& text) const override { text = L"Counted"; }
    int Execute() override { return 1; }

private:
    bool* m_deleted;
};

struct Target
{
    bool answer = true;
    int calls = 0;
    bool Handle()
    {
        ++calls;
        return answer;
    }
};
} // namespace

TEST(CommandBases, ReferenceCountDeletesAtZeroAndUndoFlagIsKept)
{
    bool deleted = false;
    auto* command = new Counted(&deleted);
    EXPECT_EQ(command->AddRef(), 1);
    EXPECT_EQ(command->AddRef(), 2);
    EXPECT_EQ(command->SetUndoable(3), 3);
    EXPECT_EQ(command->IsUndoable(), 3);
    EXPECT_EQ(command->GetTypeID(), CqzUICmdBase::TypeID);
    EXPECT_EQ(command->GetName(), CString(L"Properties"));
    EXPECT_EQ(command->GetIconName(), CString(L"filter"));
    EXPECT_EQ(command->Release(), 1);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(command->Release(), 0);
    EXPECT_TRUE(deleted);
}

TEST(CommandBases, ValueChangedCommandAnswersWithItsHandler)
{
    Target target;
    CqzMenuButtonValueChangedCmd<Target> command(&target, &Target::Handle);
    command.SetValue(22820);
    EXPECT_EQ(command.Execute(), 1);
    target.answer = false;
    EXPECT_EQ(command.Execute(), 0);
    EXPECT_EQ(target.calls, 2);
    EXPECT_EQ(command.GetValue(), 22820);
    EXPECT_EQ(command.Unexecute(), 1);
    CqzComboBoxCmd base;
    EXPECT_EQ(base.Execute(), 1);
    EXPECT_EQ(base.Unexecute(), 1);
    EXPECT_EQ(base.SetUndoable(1), 1);
    EXPECT_EQ(base.IsUndoable(), 1);
}

TEST(CommandBases, NamedCommandKeepsItsEnableStateInSetups)
{
    bool deleted = false;
    Counted saved(&deleted);
    saved.SetEnabled(false);
    std::vector<std::uint8_t> buffer;
    {
        CqzPersistenceSetup setup(buffer, 2);
        saved.Save(setup);
        setup.Close();
    }
    Counted loaded(&deleted);
    CqzPersistenceSetup setup(buffer, 1);
    loaded.Load(setup);
    EXPECT_FALSE(loaded.GetEnabled());
}
