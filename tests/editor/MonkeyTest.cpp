// A monkey in the dialog "Filter": a seeded random walk of what a person does (clicks on
// every control and on the items of every menu and list that opens, typing in the value fields,
// Tab, Enter, Escape, resizing, the favourite dialogs). After every step each term's expression
// read back through its controls must equal the model's, and the number of term buttons the
// number of terms. A failing seed prints the steps that lead there; the same seed and step
// count replay them (MONKEY_TRACE prints every step as it is taken). MONKEY_SEED, MONKEY_STEPS
// and MONKEY_SECONDS set a longer walk (scripts/monkey.sh).

#include "editor/EditorFixture.h"

#include "FilterResource.h"
#include "common/ManagerReset.h"
#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchEventListView.h"
#include "qzSystem/ui/CqzEdit.h"

#include <QLineEdit>

#include <chrono>
#include <cstdlib>
#include <random>
#include <sstream>

using namespace qzfilterres;

namespace
{
long EnvNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtol(text, nullptr, 10) : fallback;
}

const char* const Values[] = {"5",  "ff", "1ff", "zz", "",     "-1",  "g1", "b10x1",
                              "3?", "0",  "d12", "12345678901234567890", "0x7f"};

// The steps taken so far; with MONKEY_TRACE set each is printed as it is taken, so that a
// crash shows the steps that led to it.
class StepLog
{
public:
    void push_back(const std::string& line)
    {
        if (m_trace)
            std::fprintf(stderr, "monkey step: %s\n", line.c_str());
        m_lines.push_back(line);
    }
    const std::string& back() const { return m_lines.back(); }
    std::size_t size() const { return m_lines.size(); }
    auto begin() const { return m_lines.begin(); }
    auto end() const { return m_lines.end(); }

private:
    bool m_trace = std::getenv("MONKEY_TRACE") != nullptr;
    std::vector<std::string> m_lines;
};

// Answers whatever opens above the dialog (menus, drop-down lists, nested dialogs, message
// boxes) with a random choice, from a zero-time timer that runs inside their modal loops.
class Answerer
{
public:
    Answerer(std::mt19937& random, StepLog& log, QWidget* dialog)
        : m_random(random), m_log(log), m_dialog(dialog)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(0);
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    void Tick()
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            return Popup(popup);
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != m_dialog)
            Modal(modal);
    }

    void Popup(QWidget* popup)
    {
        if (auto* menu = qobject_cast<QMenu*>(popup))
        {
            std::vector<QAction*> enabled;
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && action->isEnabled())
                    enabled.push_back(action);
            if (enabled.empty() || Pick(8) == 0)
            {
                m_log.push_back("  menu: closed");
                return void(menu->close());
            }
            QAction* action = enabled[static_cast<std::size_t>(Pick(int(enabled.size())))];
            m_log.push_back("  menu: " + ui::Plain(action->text()).toStdString());
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
        if (auto* view = popup->findChild<QAbstractItemView*>(); view != nullptr)
        {
            const int rows = view->model()->rowCount();
            if (rows == 0)
                return void(popup->close());
            const int row = Pick(rows);
            m_log.push_back("  list: " +
                            view->model()->index(row, 0).data().toString().toStdString());
            view->setCurrentIndex(view->model()->index(row, 0));
            QTest::keyClick(view, Qt::Key_Return);
            return;
        }
        popup->close();
    }

    void Modal(QWidget* modal)
    {
        if (auto* field = modal->findChild<QLineEdit*>())
            field->setText(QStringLiteral("Name %1").arg(Pick(3)));
        std::vector<QAbstractButton*> buttons;
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (button->isVisible() && button->isEnabled())
                buttons.push_back(button);
        if (buttons.empty() || ++m_modalTicks > 50)
        {
            m_modalTicks = 0;
            m_log.push_back("  dialog: closed");
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                return dialog->reject();
            return void(modal->close());
        }
        QAbstractButton* button = buttons[static_cast<std::size_t>(Pick(int(buttons.size())))];
        m_log.push_back("  dialog " + modal->windowTitle().toStdString() + ": " +
                        ui::Plain(button->text()).toStdString());
        button->click();
    }

    std::mt19937& m_random;
    StepLog& m_log;
    QWidget* m_dialog;
    QTimer m_timer;
    int m_modalTicks = 0;
};

class MonkeyTest : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        const std::vector<CqzID> labels = {AddTestLabel(L"STAT", eqzLabelDigital, 8),
                                           AddTestLabel(L"IRQ", eqzLabelDigital, 1),
                                           AddTestLabel(L"WIDE", eqzLabelIntegral, 64),
                                           AddTestLabel(L"TEXT", eqzLabelString, 0)};
        CqzSystemMgr::Instance().SetAvailableLabels(tool->GetInstanceID(), labels);
    }

    // Walks `steps` steps with the seed (dialogs closed by the walk are opened again); stops
    // early when `deadline` passes. Returns the steps taken.
    long Walk(unsigned seed, long steps, std::chrono::steady_clock::time_point deadline)
    {
        std::mt19937 random(seed);
        StepLog log;
        long done = 0;
        while (done < steps && std::chrono::steady_clock::now() < deadline &&
               !HasFailure())
            Edit(
                [&](CqzFilterDlg& dialog)
                {
                    QWidget* widget = ui::WidgetOf(&dialog);
                    Answerer answerer(random, log, widget);
                    while (done < steps && widget->isVisible() && !HasFailure() &&
                           std::chrono::steady_clock::now() < deadline)
                    {
                        Step(dialog, random, log);
                        Settle();
                        ++done;
                        // A field being typed in shows what the model takes once it is left.
                        if (widget->isVisible() &&
                            qobject_cast<QLineEdit*>(QApplication::focusWidget()) == nullptr)
                            Check(dialog, log);
                    }
                });
        if (HasFailure())
        {
            std::ostringstream steps;
            for (const std::string& line : log)
                steps << line << "\n";
            ADD_FAILURE() << "seed " << seed << " failed after " << done
                          << " steps (replay: MONKEY_SEED=" << seed << " MONKEY_STEPS=" << done
                          << "); the steps:\n"
                          << steps.str();
        }
        return done;
    }

private:
    static int Pick(std::mt19937& random, int count)
    {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    }

    // Every control a person can reach, in Tab order, and the dialog's buttons.
    static std::vector<CWnd*> Controls(CqzFilterDlg& dialog)
    {
        std::vector<CWnd*> controls;
        if (CqzFilterView* view = dialog.GetView())
            view->GetWindows(controls);
        for (UINT id : {IDC_ENABLE, IDC_DISABLE, IDC_STORE, IDC_RECALL, UINT(IDOK), UINT(IDCANCEL)})
            controls.push_back(dialog.GetDlgItem(static_cast<int>(id)));
        return controls;
    }

    void Step(CqzFilterDlg& dialog, std::mt19937& random, StepLog& log)
    {
        QWidget* widget = ui::WidgetOf(&dialog);
        const int kind = Pick(random, 20);
        if (kind < 12)
        {
            const std::vector<CWnd*> controls = Controls(dialog);
            const int index = Pick(random, int(controls.size()));
            CWnd* control = controls[static_cast<std::size_t>(index)];
            if (!control->IsWindowVisible() || !control->IsWindowEnabled())
                return log.push_back("skip hidden control " + std::to_string(index));
            log.push_back("click control " + std::to_string(index) + " of " +
                          std::to_string(controls.size()));
            // The click may delete the control (a term deleted from its menu).
            const bool field = dynamic_cast<CqzEdit*>(control) != nullptr;
            ui::Click(control);
            // A person types only into the field the click put the focus in (a field scrolled
            // out of the window takes no click).
            if (field && QApplication::focusWidget() != nullptr &&
                QApplication::focusWidget() == ui::WidgetOf(control))
            {
                const std::string text = Values[Pick(random, int(std::size(Values)))];
                log.push_back("  type '" + text + "'");
                QWidget* edit = ui::WidgetOf(control);
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(edit, Qt::Key_Delete);
                QTest::keyClicks(edit, QString::fromStdString(text));
            }
        }
        else if (kind < 15)
        {
            static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab,
                                           Qt::Key_Return, Qt::Key_Escape};
            const Qt::Key key = keys[Pick(random, int(std::size(keys)))];
            log.push_back("key " + QKeySequence(key).toString().toStdString());
            ui::Key(widget, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        }
        else if (kind < 17)
        {
            const int width = 300 + Pick(random, 700);
            const int height = 150 + Pick(random, 600);
            log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
            widget->resize(width, height);
        }
        else
        {
            // Scrolling the list as a person does with its scroll bars.
            log.push_back("scroll");
            if (CqzFilterView* view = dialog.GetView())
                view->ScrollToPosition(CPoint(Pick(random, 200), Pick(random, 600)));
        }
    }

    void Check(CqzFilterDlg& dialog, const StepLog& log)
    {
        const CqzFilterModel& model = dialog.GetFilterModel();
        const int terms = model.GetSize();
        int buttons = 0;
        while (Terms(dialog)->GetButton(buttons) != nullptr)
            ++buttons;
        EXPECT_EQ(buttons, terms) << "after step " << log.size();
        for (int t = 0; t < terms; ++t)
        {
            const SqzFilterTerm& term = model.GetTerms()[static_cast<std::size_t>(t)];
            const CqzSearchEventList& events = *term.search->GetIfClause().GetEventList();
            const CqzSearchEventListView* view = events.GetView();
            if (view == nullptr)
            {
                EXPECT_FALSE(term.search->IsEnabled()) << "term " << t + 1 << " has no rows";
                continue;
            }
            EXPECT_EQ(view->GetShownText().Str(), view->GetModelText().Str())
                << "term " << t + 1 << " after step " << log.back();
        }
    }
};

TEST_F(MonkeyTest, ScreenFollowsTheModelThroughARandomWalk)
{
    const long seconds = EnvNumber("MONKEY_SECONDS", 0);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::seconds(seconds > 0 ? seconds : 3600);
    const long steps = EnvNumber("MONKEY_STEPS", seconds > 0 ? 5000 : 400);
    const long seed = EnvNumber("MONKEY_SEED", -1);
    long total = 0;
    for (unsigned s = seed >= 0 ? unsigned(seed) : 1u;
         !HasFailure() && std::chrono::steady_clock::now() < deadline; ++s)
    {
        total += Walk(s, steps, deadline);
        if (seed >= 0 && seconds == 0)
            break;
        if (seed < 0 && seconds == 0 && s == 3)
            break;
        tool.reset();
        SetUp();
    }
    std::printf("monkey: %ld steps\n", total);
}
} // namespace
