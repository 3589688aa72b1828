#include "CqzViewScript.h"

#include "CqzHostError.h"
#include "CqzViewWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <sstream>

namespace
{
const std::vector<std::string> Verbs = {"edit", "export", "goto",  "time",
                                        "hidden", "find",  "close"};

[[noreturn]] void Refuse(const std::string& origin, int line, const std::string& why)
{
    throw CqzHostError(eqzExitFile, origin + ":" + std::to_string(line) + ": " + why);
}

bool Closes(const std::string& line)
{
    std::istringstream words(line);
    std::string verb;
    return words >> verb && (verb == "ok" || verb == "cancel");
}

// The dialog's steps after the `edit` on line `line`, up to its ok or cancel; `line` moves on
// to that step.
CqzEditScript ParseDialog(std::istream& lines, int& line, const std::string& origin)
{
    const int first = line + 1;
    std::string text;
    for (std::string next; std::getline(lines, next);)
    {
        ++line;
        text += next + "\n";
        if (Closes(next))
            return CqzEditScript::Parse(text, origin, first);
    }
    Refuse(origin, first - 1,
           "the dialog 'edit' opens is not closed: end its steps with ok or cancel");
}

// The window's action with that text, its & left out.
QAction* FindAction(QWidget& window, const QString& text)
{
    for (QAction* action : window.findChildren<QAction*>())
        if (QString(action->text()).remove(QLatin1Char('&')) == text)
            return action;
    return nullptr;
}

// The save dialog takes the file's full path; one it does not take (a folder it opens
// instead) is said.
std::string SaveAs(QWidget* modal, const std::string& path)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    // The question whether to replace an existing file: the script asked to write there.
    if (box != nullptr && box->button(QMessageBox::Yes) != nullptr)
        return box->button(QMessageBox::Yes)->click(), std::string();
    auto* chooser = qobject_cast<QFileDialog*>(modal);
    if (chooser == nullptr)
        return "the window asked '" + modal->windowTitle().toStdString() + "'";
    // Typed into the name field as a person types it (the dialog leaves a field that has the
    // focus to the person).
    const QString full = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(full);
    else
        chooser->selectFile(full);
    static_cast<QDialog*>(chooser)->accept(); // as the Save button does
    if (!chooser->isVisible())
        return {};
    chooser->reject();
    return "the save dialog does not take '" + path + "'";
}

std::string TypeAnswer(QWidget* modal, const std::string& text)
{
    auto* question = qobject_cast<QInputDialog*>(modal);
    if (question == nullptr)
        return "the window asked '" + modal->windowTitle().toStdString() + "'";
    question->setTextValue(QString::fromStdString(text));
    question->accept();
    return {};
}

// Lets the window draw what the step changed.
void Settle()
{
    for (int i = 0; i < 3; ++i)
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}
} // namespace

CqzViewScript CqzViewScript::Load(const std::string& path)
{
    return Parse(CqzEditScript::ReadFile(path), path);
}

CqzViewScript CqzViewScript::Parse(const std::string& text, const std::string& origin)
{
    CqzViewScript script;
    script.m_origin = origin;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        std::istringstream words(line);
        SqzStep step{number, "", "", {}};
        if (!(words >> step.verb) || step.verb[0] == '#')
            continue;
        std::getline(words >> std::ws, step.argument);
        if (std::find(Verbs.begin(), Verbs.end(), step.verb) == Verbs.end())
            Refuse(origin, number,
                   "unknown step '" + step.verb +
                       "'; use edit, export, goto, time, hidden, find or close (the dialog's "
                       "steps follow an edit)");
        const bool bare = step.verb == "edit" || step.verb == "close";
        if (bare != step.argument.empty())
            Refuse(origin, number,
                   "'" + step.verb + (bare ? "' takes no value" : "' needs a value"));
        if (step.verb == "hidden" && step.argument != "on" && step.argument != "off")
            Refuse(origin, number, "'hidden' takes on or off");
        if (step.verb == "edit")
            step.dialog = ParseDialog(lines, number, origin);
        script.m_steps.push_back(step);
    }
    return script;
}

void CqzViewScript::Apply(CqzViewWindow& window) const
{
    for (const SqzStep& step : m_steps)
    {
        ApplyStep(window, step);
        Settle();
    }
}

void CqzViewScript::ApplyStep(CqzViewWindow& window, const SqzStep& step) const
{
    const std::string& argument = step.argument;
    if (step.verb == "edit")
        return EditFilter(window, step);
    if (step.verb == "export")
        return Ask(window, step, "Export CSV...",
                   [&argument](QWidget* modal) { return SaveAs(modal, argument); });
    if (step.verb == "goto" || step.verb == "time")
        return Ask(window, step, step.verb == "goto" ? "Go to row..." : "Go to time...",
                   [&argument](QWidget* modal) { return TypeAnswer(modal, argument); });
    if (step.verb == "hidden")
    {
        QAction& showHidden = window.GetShowHiddenAction();
        if (showHidden.isChecked() != (argument == "on"))
            showHidden.trigger();
        return;
    }
    if (step.verb == "find")
    {
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("findText"));
        field->setFocus();
        field->setText(QString::fromStdString(argument));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(field, &enter);
        return;
    }
    if (QAction* close = FindAction(window, QStringLiteral("Close")))
        close->trigger();
}

void CqzViewScript::EditFilter(CqzViewWindow& window, const SqzStep& step) const
{
    QToolButton& button = window.GetFilterButton();
    if (!button.isEnabled())
        Refuse(m_origin, step.line,
               "the Filter... button is disabled: " + button.toolTip().toStdString());
    if (step.dialog.Run([&button] { button.click(); }) < 0)
        Refuse(m_origin, step.line, "the dialog \"Filter\" did not open");
}

void CqzViewScript::Ask(CqzViewWindow& window, const SqzStep& step, const char* action,
                        const std::function<std::string(QWidget*)>& answer) const
{
    QAction* chosen = FindAction(window, QString::fromLatin1(action));
    if (chosen == nullptr || !chosen->isEnabled())
        Refuse(m_origin, step.line, std::string("the window offers no '") + action + "'");
    // Each modal window the action opens is answered once, from the event loop (an answer may
    // open the next one); a message box of the window's own says why the step failed.
    std::string refusal;
    std::vector<QPointer<QWidget>> answered;
    QObject scope;
    QTimer watch;
    QObject::connect(
        &watch, &QTimer::timeout,
        [&]
        {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr ||
                std::find(answered.begin(), answered.end(), modal) != answered.end())
                return;
            answered.emplace_back(modal);
            QTimer::singleShot(0, &scope,
                               [&, target = QPointer<QWidget>(modal)]
                               {
                                   auto* box = qobject_cast<QMessageBox*>(target.data());
                                   std::string why;
                                   if (box != nullptr && box->button(QMessageBox::Yes) == nullptr)
                                       why = box->text().toStdString();
                                   else if (target)
                                       why = answer(target);
                                   if (refusal.empty())
                                       refusal = why;
                                   if (!why.empty() && target && target->isVisible())
                                       target->close();
                               });
        });
    watch.start(5);
    chosen->trigger();
    if (!refusal.empty())
        Refuse(m_origin, step.line, step.verb + " was refused: " + refusal);
}
