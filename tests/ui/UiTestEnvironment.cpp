// The toolkit's application for the window tests, with the tests' resources registered as an
// extension module.

#include "ui/UiTestResources.h"

#include "mfc/AfxExtensionModule.h"
#include "mfc/AfxResource.h"
#include "mfc/ui/AfxWin.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace testres;

namespace
{
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

const AFX_RESOURCE_TABLE& Table()
{
    static const AFX_RESOURCE_TABLE table = {
        {{IDD_FILTERLIKE,
          L"Filter",
          WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER,
          L"MS Sans Serif",
          8,
          309,
          125,
          {{L"BUTTON", L"Filter/Color Operation", IDC_GROUP, Child | BS_GROUPBOX, 7, 7, 295, 36},
           {L"BUTTON", L"&Enable", IDC_ENABLE, Child | BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, 12,
            18, 38, 10},
           {L"BUTTON", L"&Disable", IDC_DISABLE, Child | BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, 12,
            30, 40, 10},
           {L"STATIC", L"Aligment", IDC_PLACE, WS_CHILD, 7, 47, 295, 51},
           {L"BUTTON", L"Store Favorite", IDC_STORE, Child | BS_OWNERDRAW | WS_TABSTOP, 12, 104, 64,
            14},
           {L"BUTTON", L"Recall Favorite", IDC_RECALL, Child | BS_OWNERDRAW | WS_TABSTOP, 79, 104,
            64, 14},
           {L"BUTTON", L"OK", IDOK, Child | BS_DEFPUSHBUTTON | WS_TABSTOP, 146, 104, 50, 14},
           {L"BUTTON", L"Cancel", IDCANCEL, Child | WS_TABSTOP, 199, 104, 50, 14},
           {L"BUTTON", L"Help", IDC_HELP, Child | WS_TABSTOP, 252, 104, 50, 14}}}},
        {{IDR_MENU,
          {{L"First",
            0,
            MF_POPUP,
            {{L"&Alpha", 101, MF_STRING, {}},
             {L"", 0, MF_SEPARATOR, {}},
             {L"&Beta", 102, MF_GRAYED, {}}}},
           {L"Second", 0, MF_POPUP, {{L"&Gamma", 103, MF_STRING, {}}}}}}},
        {{IDR_ACCEL,
          {{FVIRTKEY | FNOINVERT, VK_TAB, ID_TAB},
           {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, ID_BACKTAB}}}}};
    return table;
}

// Ends a modal loop or popup that stays open for seconds (nobody armed an answer for it), so
// that a faulty test fails instead of hanging.
class Watchdog
{
public:
    Watchdog()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(1000);
    }

private:
    void Tick()
    {
        QWidget* open = QApplication::activePopupWidget();
        if (open == nullptr)
            open = QApplication::activeModalWidget();
        m_ticks = open != nullptr && open == m_seen ? m_ticks + 1 : 0;
        m_seen = open;
        if (m_ticks < 5)
            return;
        ADD_FAILURE() << "a modal window or popup stayed open: closed by the watchdog";
        if (auto* dialog = qobject_cast<QDialog*>(open))
            dialog->reject();
        else
            open->close();
        m_ticks = 0;
    }
    QTimer m_timer;
    QWidget* m_seen = nullptr;
    int m_ticks = 0;
};

class UiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        ASSERT_TRUE(AfxWinInit(argc, argv));
        ASSERT_TRUE(AfxInitExtensionModule(m_module, &m_module));
        new CDynLinkLibrary(m_module);
        AfxRegisterResources(m_module.hModule, &Table());
        m_watchdog = std::make_unique<Watchdog>();
    }
    void TearDown() override
    {
        m_watchdog.reset();
        AfxTermExtensionModule(m_module);
        AfxWinTerm();
    }

private:
    AFX_EXTENSION_MODULE m_module;
    std::unique_ptr<Watchdog> m_watchdog;
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);
} // namespace
