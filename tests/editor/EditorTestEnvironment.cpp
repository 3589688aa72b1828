// The toolkit's application for the editor tests, with the plug-in's resources registered as
// the plug-in's entry registers them.

#include "FilterResources.h"

#include "mfc/AfxExtensionModule.h"
#include "mfc/ui/AfxWin.h"

#include <gtest/gtest.h>

namespace
{
class EditorEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "editor_tests";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(AfxWinInit(argc, argv));
        ASSERT_TRUE(AfxInitExtensionModule(m_module, &m_module));
        new CDynLinkLibrary(m_module);
        AfxRegisterResources(m_module.hModule, &FilterResourceTable());
    }
    void TearDown() override
    {
        AfxUnregisterResources(m_module.hModule);
        AfxTermExtensionModule(m_module);
        AfxWinTerm();
    }

private:
    AFX_EXTENSION_MODULE m_module;
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new EditorEnvironment);
} // namespace
