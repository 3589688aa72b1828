#include "CqzEditScript.h"

#include "CqzHostError.h"
#include "mfc/ui/CWnd.h"
#include "qzSystem/ui/CqzChevronMenuBtn.h"
#include "qzSystem/ui/CqzColorWellButton.h"
#include "qzSystem/ui/CqzComboBox.h"
#include "qzSystem/ui/CqzEdit.h"
#include "qzSystem/ui/CqzMenuButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace
{
constexpr UINT EnableID = 22813;
constexpr UINT DisableID = 22836;
constexpr int TermButtonID = 8;

QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

QWidget* WidgetOf(const CWnd* wnd)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->property("qzWnd").value<void*>() == wnd &&
            (widget->parentWidget() == nullptr ||
             widget->parentWidget()->property("qzWnd").value<void*>() != wnd))
            return widget;
    return nullptr;
}

// Lets the posted relayouts of the list run.
void Settle()
{
    for (int i = 0; i < 3; ++i)
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Acts on what `find` finds once it opens (a popup or a nested dialog), polling; gives up
// after a few seconds and closes what is open. The timer goes with the watch: a caller that
// no longer waits may delete it.
QPointer<QTimer> WhenOpen(std::function<QWidget*()> find, std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout,
                     [timer, ticks, find, act]
                     {
                         QWidget* target = find();
                         if (target == nullptr && ++*ticks < 600)
                             return;
                         timer->stop();
                         timer->deleteLater();
                         if (target != nullptr)
                             act(target);
                         else if (QWidget* popup = QApplication::activePopupWidget())
                             popup->close();
                     });
    timer->start(5);
    return timer;
}

CWnd* BoundWindow(QWidget* widget)
{
    return static_cast<CWnd*>(widget->property("qzWnd").value<void*>());
}

// A modal window above the dialog (a nested dialog or a message box), else null.
QWidget* NestedModal(CWnd* dialog)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != WidgetOf(dialog) ? modal : nullptr;
}

// Types `text` into the nested dialog's field and presses its OK, once it opens.
void AnswerWithText(CWnd* dialog, const std::string& text)
{
    WhenOpen([dialog] { return NestedModal(dialog); },
             [text = QString::fromStdString(text)](QWidget* modal)
             {
                 if (auto* field = modal->findChild<QLineEdit*>())
                     field->setText(text);
                 for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
                     if (Plain(button->text()) == "OK")
                         return button->click();
             });
}

// Arms the choice of `item` in the popup menu about to open; `chosen` tells whether it was there.
void ChooseInMenu(const QString& item, bool& chosen)
{
    WhenOpen([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
             [item, &chosen](QWidget* widget)
             {
                 auto* menu = static_cast<QMenu*>(widget);
                 for (QAction* action : menu->actions())
                     if (!action->isSeparator() && action->isEnabled() &&
                         Plain(action->text()) == Plain(item))
                     {
                         chosen = true;
                         // As a person picks it with the keys: the menu closes with it.
                         menu->setActiveAction(action);
                         QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                         QApplication::sendEvent(menu, &press);
                         return;
                     }
                 menu->close();
             });
}

struct SqzTermControls
{
    CqzChevronMenuBtn* button = nullptr;
    CqzComboBox* type = nullptr;
    CqzColorWellButton* well = nullptr;
};

int Top(const CWnd* wnd)
{
    CRect rect;
    wnd->GetWindowRect(rect);
    return rect.top;
}

// The controls of every term, top to bottom: a term's action controls lie between its button
// and the next term's.
std::vector<SqzTermControls> Terms(CWnd* dialog)
{
    CWnd* list = nullptr;
    for (CWnd* child : dialog->GetChildren())
        if (child->GetWindowText() == CString(L"qzFilterView"))
            list = child;
    std::vector<SqzTermControls> terms;
    if (list == nullptr)
        return terms;
    const std::vector<CWnd*> children = list->GetChildren();
    for (CWnd* child : children)
        // Term buttons carry the identifier 8; the rows' buttons have none (0xFFFF).
        if (auto* button = dynamic_cast<CqzChevronMenuBtn*>(child);
            button != nullptr && button->GetDlgCtrlID() == TermButtonID)
            terms.push_back({button});
    std::sort(terms.begin(), terms.end(),
              [](const auto& a, const auto& b) { return Top(a.button) < Top(b.button); });
    for (CWnd* child : children)
    {
        auto* type = dynamic_cast<CqzComboBox*>(child);
        auto* well = dynamic_cast<CqzColorWellButton*>(child);
        CString first;
        if (type != nullptr && type->GetCount() == 3)
            type->GetLBText(0, first);
        if ((type == nullptr || first != CString(L"Show ")) && well == nullptr)
            continue;
        SqzTermControls* owner = nullptr;
        for (SqzTermControls& term : terms)
            if (Top(term.button) <= Top(child))
                owner = &term;
        if (owner != nullptr && type != nullptr)
            owner->type = type;
        else if (owner != nullptr)
            owner->well = well;
    }
    return terms;
}

} // namespace

// The controls of one row of a term's search expression, left to right.
struct SqzRowControls
{
    std::vector<CqzComboBox*> lists; // label, operator, then the conjunction when there is one
    std::vector<CqzEdit*> fields;    // the value, then the range's upper bound
    CqzChevronMenuBtn* button = nullptr;
};

namespace
{

int Left(const CWnd* wnd)
{
    CRect rect;
    wnd->GetWindowRect(rect);
    return rect.left;
}

bool IsTypeList(const CqzComboBox* combo)
{
    CString first;
    if (combo->GetCount() == 3)
        combo->GetLBText(0, first);
    return first == CString(L"Show ");
}

// The rows of term `term` (from 0): its visible row controls, grouped by their top edge.
std::vector<SqzRowControls> Rows(const std::vector<SqzTermControls>& terms,
                                 std::size_t term)
{
    const int top = Top(terms[term].button);
    const int bottom = term + 1 < terms.size() ? Top(terms[term + 1].button) : 1 << 30;
    std::map<int, std::vector<CWnd*>> lines;
    for (CWnd* child : terms[term].button->GetParent()->GetChildren())
    {
        auto* combo = dynamic_cast<CqzComboBox*>(child);
        auto* chevron = dynamic_cast<CqzChevronMenuBtn*>(child);
        const bool rowControl = (combo != nullptr && !IsTypeList(combo)) ||
                                dynamic_cast<CqzEdit*>(child) != nullptr ||
                                (chevron != nullptr && chevron->GetDlgCtrlID() == 0xFFFF);
        if (rowControl && child->IsWindowVisible() && Top(child) >= top && Top(child) < bottom)
            lines[Top(child)].push_back(child);
    }
    std::vector<SqzRowControls> rows;
    for (auto& [y, controls] : lines)
    {
        std::sort(controls.begin(), controls.end(),
                  [](const CWnd* a, const CWnd* b) { return Left(a) < Left(b); });
        SqzRowControls row;
        for (CWnd* control : controls)
            if (auto* combo = dynamic_cast<CqzComboBox*>(control))
                row.lists.push_back(combo);
            else if (auto* field = dynamic_cast<CqzEdit*>(control))
                row.fields.push_back(field);
            else
                row.button = dynamic_cast<CqzChevronMenuBtn*>(control);
        if (row.lists.size() >= 2)
            rows.push_back(row);
    }
    return rows;
}

// Chooses the entry with that text in a drop-down list as a person does (it notifies).
bool ChooseEntry(CWnd* list, const std::string& entry)
{
    auto* combo = qobject_cast<QComboBox*>(WidgetOf(list));
    const int index = combo != nullptr ? combo->findText(QString::fromStdString(entry)) : -1;
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

// Types the text into a value field and leaves it, as a person does.
void TypeValue(CqzEdit* field, const std::string& text)
{
    auto* edit = qobject_cast<QLineEdit*>(WidgetOf(field));
    edit->setFocus();
    edit->selectAll();
    edit->insert(QString::fromStdString(text));
    field->Commit();
}

[[noreturn]] void Refuse(const std::string& origin, int line, const std::string& why)
{
    throw CqzHostError(eqzExitFile, origin + ":" + std::to_string(line) + ": " + why);
}

int TypeIndex(const std::string& name)
{
    static const char* const names[] = {"Show", "Hide", "Color"};
    for (int i = 0; i < 3; ++i)
        if (name == names[i])
            return i;
    return -1;
}
} // namespace

CqzEditScript CqzEditScript::Load(const std::string& path)
{
    return Parse(ReadFile(path), path);
}

std::string CqzEditScript::ReadFile(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw CqzHostError(eqzExitFile, "cannot read the script '" + path + "': it is a folder");
    std::ifstream file(path);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    if (!file || file.bad())
        throw CqzHostError(eqzExitFile, "cannot read the script '" + path + "'");
    return text.str();
}

CqzEditScript CqzEditScript::Parse(const std::string& text, const std::string& origin,
                                   int firstLine)
{
    static const std::vector<std::string> termVerbs = {"menu", "type", "color", "rename"};
    static const std::vector<std::string> rowVerbs = {"label", "op", "value", "to", "conj", "row"};
    CqzEditScript script;
    script.m_origin = origin;
    std::istringstream lines(text);
    std::string line;
    for (int number = firstLine; std::getline(lines, line); ++number)
    {
        std::istringstream words(line);
        SqzStep step{number, "", 0, 0, ""};
        if (!(words >> step.verb) || step.verb[0] == '#')
            continue;
        const bool rowVerb =
            std::find(rowVerbs.begin(), rowVerbs.end(), step.verb) != rowVerbs.end();
        const bool termVerb =
            rowVerb || std::find(termVerbs.begin(), termVerbs.end(), step.verb) != termVerbs.end();
        if (termVerb && !(words >> step.term && step.term >= 1))
            Refuse(origin, number, "'" + step.verb + "' needs a term number from 1");
        if (rowVerb && !(words >> step.row && step.row >= 1))
            Refuse(origin, number, "'" + step.verb + "' needs a term and a row number from 1");
        std::getline(words >> std::ws, step.argument);
        const bool known = termVerb || step.verb == "filter" || step.verb == "size" ||
                           step.verb == "store" || step.verb == "recall" || step.verb == "ok" ||
                           step.verb == "cancel";
        if (!known)
            Refuse(origin, number,
                   "unknown step '" + step.verb +
                       "'; use menu, type, color, rename, label, op, value, to, conj, row, "
                       "store, recall, filter, size, ok or cancel");
        if (!script.m_steps.empty() &&
            (script.m_steps.back().verb == "ok" || script.m_steps.back().verb == "cancel"))
            Refuse(origin, number, "no step can follow '" + script.m_steps.back().verb +
                                       "': the dialog is closed");
        if (step.argument.empty() && step.verb != "ok" && step.verb != "cancel" &&
            step.verb != "value" && step.verb != "to")
            Refuse(origin, number, "'" + step.verb + "' needs a value");
        script.m_steps.push_back(step);
    }
    return script;
}

void CqzEditScript::Apply(CWnd* dialog) const
{
    for (const SqzStep& step : m_steps)
    {
        ApplyStep(dialog, step);
        Settle();
    }
}

int CqzEditScript::Run(const std::function<void()>& open,
                       const std::function<void(CWnd*)>& atEnd) const
{
    int result = -1;
    std::exception_ptr failure;
    // The dialog: the first modal window of the window layer.
    QPointer<QTimer> watch = WhenOpen(
        []
        {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && BoundWindow(modal) != nullptr ? modal : nullptr;
        },
        [&](QWidget* modal)
        {
            result = IDCANCEL;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                QObject::connect(dialog, &QDialog::finished,
                                 [&result](int code) { result = code; });
            CWnd* dialog = BoundWindow(modal);
            try
            {
                Apply(dialog);
                if (atEnd)
                    atEnd(dialog);
            }
            catch (...)
            {
                failure = std::current_exception();
            }
            if ((failure || atEnd) && QApplication::activeModalWidget() == modal)
                dialog->SendMessage(WM_COMMAND, IDCANCEL);
        });
    open();
    if (watch)
        delete watch.data();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

void CqzEditScript::ApplyStep(CWnd* dialog, const SqzStep& step) const
{
    if (step.verb == "ok")
        return PressOk(dialog, step);
    if (step.verb == "cancel")
        return dialog->SendMessage(WM_COMMAND, IDCANCEL), void();
    if (step.verb == "size")
    {
        int width = 0;
        int height = 0;
        char by = 0;
        std::istringstream size(step.argument);
        if (!(size >> width >> by >> height) || by != 'x' || width <= 0 || height <= 0)
            Refuse(m_origin, step.line, "'size' takes WIDTHxHEIGHT in pixels");
        WidgetOf(dialog)->resize(width, height);
        return;
    }
    if (step.verb == "filter")
    {
        if (step.argument != "on" && step.argument != "off")
            Refuse(m_origin, step.line, "'filter' takes on or off");
        return dialog->SendMessage(WM_COMMAND, step.argument == "on" ? EnableID : DisableID),
               void();
    }
    if (step.verb == "store" || step.verb == "recall")
        return ApplyFavorite(dialog, step);
    const std::vector<SqzTermControls> terms = Terms(dialog);
    if (step.term > static_cast<int>(terms.size()))
        Refuse(m_origin, step.line,
               "there is no term " + std::to_string(step.term) + " (" +
                   std::to_string(terms.size()) + " shown)");
    const SqzTermControls& term = terms[static_cast<std::size_t>(step.term - 1)];
    if (step.row > 0)
        return ApplyRowStep(Rows(terms, static_cast<std::size_t>(step.term - 1)), step);
    bool chosen = false;
    if (step.verb == "menu" || step.verb == "rename")
    {
        if (step.verb == "rename")
            AnswerWithText(dialog, step.argument);
        ChooseInMenu(step.verb == "rename" ? QString("&Rename...")
                                           : QString::fromStdString(step.argument),
                     chosen);
        term.button->ShowMenu();
    }
    else if (step.verb == "color")
    {
        if (term.well == nullptr || !term.well->IsWindowVisible())
            Refuse(m_origin, step.line,
                   "term " + std::to_string(step.term) + " has no colour well");
        ChooseInMenu(QString::fromStdString(step.argument), chosen);
        term.well->ChooseColor();
    }
    else if (auto* combo = qobject_cast<QComboBox*>(term.type ? WidgetOf(term.type) : nullptr))
    {
        const int index = TypeIndex(step.argument);
        chosen = index >= 0;
        if (chosen)
        {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        }
    }
    if (!chosen)
        Refuse(m_origin, step.line,
               "term " + std::to_string(step.term) + " offers no '" + step.argument + "' to '" +
                   step.verb + "'");
}

void CqzEditScript::ApplyRowStep(const std::vector<SqzRowControls>& rows, const SqzStep& step) const
{
    const std::string where = "term " + std::to_string(step.term) + " row " + std::to_string(step.row);
    if (step.row > static_cast<int>(rows.size()))
        Refuse(m_origin, step.line,
               "there is no " + where + " (" + std::to_string(rows.size()) + " shown)");
    const SqzRowControls& row = rows[static_cast<std::size_t>(step.row - 1)];
    bool done = false;
    if (step.verb == "label" || step.verb == "op" || step.verb == "conj")
    {
        const std::size_t list = step.verb == "label" ? 0 : step.verb == "op" ? 1 : 2;
        done = list < row.lists.size() && ChooseEntry(row.lists[list], step.argument);
    }
    else if (step.verb == "value" || step.verb == "to")
    {
        const std::size_t field = step.verb == "value" ? 0 : 1;
        if ((done = field < row.fields.size()))
            TypeValue(row.fields[field], step.argument);
    }
    else if (row.button != nullptr)
    {
        ChooseInMenu(QString::fromStdString(step.argument), done);
        row.button->ShowMenu();
    }
    if (!done)
        Refuse(m_origin, step.line,
               where + " offers no '" + step.argument + "' to '" + step.verb + "'");
}

void CqzEditScript::ApplyFavorite(CWnd* dialog, const SqzStep& step) const
{
    constexpr int StoreID = 22815;
    constexpr int RecallID = 22816;
    auto* button =
        dynamic_cast<CqzMenuButton*>(dialog->GetDlgItem(step.verb == "store" ? StoreID : RecallID));
    // "store New... NAME": the item, then the name typed into the dialog it opens.
    std::string item = step.argument;
    std::string name;
    if (const std::size_t dots = item.find("... "); dots != std::string::npos)
    {
        name = item.substr(dots + 4);
        item = item.substr(0, dots + 3);
    }
    if (!name.empty())
        AnswerWithText(dialog, name);
    bool chosen = false;
    if (button != nullptr && button->IsWindowEnabled())
    {
        ChooseInMenu(QString::fromStdString(item), chosen);
        button->ShowMenu();
    }
    if (!chosen)
        Refuse(m_origin, step.line, "the " + step.verb + " menu offers no '" + item + "'");
}

void CqzEditScript::PressOk(CWnd* dialog, const SqzStep& step) const
{
    // A refused OK says why in a message box and leaves the dialog open: the step fails with
    // that reason.
    QString refusal;
    QPointer<QTimer> watch = WhenOpen([dialog] { return NestedModal(dialog); },
                                      [&refusal](QWidget* modal)
                                      {
                                          if (auto* box = qobject_cast<QMessageBox*>(modal))
                                              refusal = box->text();
                                          modal->close();
                                      });
    dialog->SendMessage(WM_COMMAND, IDOK);
    if (watch)
        delete watch.data();
    if (!refusal.isEmpty())
        Refuse(m_origin, step.line, "OK was refused: " + refusal.toStdString());
}
