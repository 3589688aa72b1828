// Loads the plug-in library as the host does and drives its tools through the host's
// interfaces only.

#include "common/ManagerReset.h"
#include "qzSystem/commands/CqzNamedUICmdBase.h"
#include "qzSystem/commands/CqzStdAnalysisToolCmdIFace.h"
#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"
#include "qzSystem/messages/CqzMessageRun.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"
#include "qzSystem/plugin/CqzPlugInDataBase.h"
#include "qzSystem/plugin/CqzPlugInInterface.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <memory>

namespace
{

using CreateFunction = CqzPlugInInterface* (*)(CqzPlugInDataBase*);

class PlugInLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        m_library = dlopen(QZ_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_library, nullptr) << dlerror();
        create = reinterpret_cast<CreateFunction>(dlsym(m_library, "Create"));
        ASSERT_NE(create, nullptr) << dlerror();
        addInClass.SetValue(CString(L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}"));
    }
    void TearDown() override
    {
        if (m_library)
            dlclose(m_library);
    }

    std::unique_ptr<CqzPlugInInterface> Make(const CqzID& type, const CqzID& instance = CqzID())
    {
        CqzPlugInAnToolData record(CqzID(), instance, type, addInClass.GetGUID());
        return std::unique_ptr<CqzPlugInInterface>(create(&record));
    }

    CreateFunction create = nullptr;
    CqzID addInClass;

private:
    void* m_library = nullptr;
};

TEST_F(PlugInLoadTest, OnlyCreateIsExported)
{
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "_ZN9CqzFilterD0Ev"), nullptr);
}

TEST_F(PlugInLoadTest, ToolOffersItsEditorCommandAsKindFiveOnly)
{
    const std::unique_ptr<CqzPlugInInterface> tool = Make(addInClass);
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->GetUICmds(0).empty());
    const std::vector<CqzUICmdBase*> commands = tool->GetUICmds(5);
    ASSERT_EQ(commands.size(), 1u);
    CString text;
    commands[0]->Sprint(text);
    EXPECT_EQ(text, CString(L"CqzFilterUICmd"));
    auto* named = dynamic_cast<CqzNamedUICmdBase*>(commands[0]);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->GetName(), CString(L"Properties"));
    EXPECT_EQ(named->GetIconName(), CString(L"filter"));
    EXPECT_EQ(commands[0], tool->GetUICmds(5)[0]) << "the tool keeps one command";
}

// Each call makes an independent tool, registered under its instance until it is deleted.
TEST_F(PlugInLoadTest, MatchingTypeMakesARegisteredToolWithTheRecordsIdentifiers)
{
    const CqzID name, instance, second;
    GUID other{};
    other.Data1 = 42;
    CqzPlugInAnToolData record(name, instance, addInClass, other);
    std::unique_ptr<CqzPlugInInterface> tool(create(&record));
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->GetInstanceID(), instance);
    EXPECT_EQ(tool->GetTypeID(), addInClass);
    EXPECT_EQ(tool->GetAddInClassID(), other);
    auto* iface =
        dynamic_cast<CqzStdAnalysisToolCmdIFace*>(CqzStdCmdIFaceMgr::Instance().Find(instance));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->GetTypeName(), CString(L"FilterColorizeAnalysisTool"));
    EXPECT_EQ(iface->GetInstanceID(), instance);

    auto b = Make(addInClass, second);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(tool.get(), b.get());
    EXPECT_NE(CqzStdCmdIFaceMgr::Instance().Find(second), iface);
    tool.reset();
    EXPECT_EQ(CqzStdCmdIFaceMgr::Instance().Find(instance), nullptr);
    EXPECT_NE(CqzStdCmdIFaceMgr::Instance().Find(second), nullptr);
}

TEST_F(PlugInLoadTest, TypeDifferingInOneByteIsRefusedWithOneLogEntry)
{
    GUID guid = addInClass.GetGUID();
    guid.Data4[7] ^= 1;
    CqzID type;
    type.SetValue(guid);
    CqzInfoMgr::Instance().Reset();
    EXPECT_EQ(Make(type), nullptr);
    const auto& log = CqzInfoMgr::Instance().GetEntries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, CString(L"Analysis API DLL Create() - no matching typeID found!"));
    EXPECT_EQ(log[0].type, 3);
}

TEST_F(PlugInLoadTest, RunThroughMessagesGivesAnOutputColumn)
{
    CqzData data;
    CqzDataBuilder builder(data);
    builder.AddTable().Time().Digital(L"D", 8);
    for (int i = 0; i < 600; ++i)
        builder.Row(i, {i % 256});
    auto tool = Make(addInClass);
    ASSERT_NE(tool, nullptr);
    tool->SetData(&data);
    // A new tool's default term tests the time label, which has no test: every row is shown.
    CqzMessageRun run(true);
    tool->HandleMessage(&run);
    CqzDataTable* table = data.GetTable(0);
    CqzDataColumn* column = table->GetColumn(eqzRoleAttributes);
    ASSERT_NE(column, nullptr);
    std::unique_ptr<CqzSampleAttributesDataSourceIter> it(
        dynamic_cast<CqzSampleAttributesDataSourceIter*>(column->GetDataSource()->CreateIter()));
    ASSERT_NE(it, nullptr);
    int rows = 0;
    for (it->SetPosition(0); !it->IsAtEnd(); it->Next())
        rows += it->GetValue().IsHidden() ? 0 : 1;
    EXPECT_EQ(rows, 600);
    CqzMessageDestroyPlugIn destroy;
    tool->HandleMessage(&destroy);
}

} // namespace
