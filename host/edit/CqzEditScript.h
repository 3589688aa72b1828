#pragma once
// Person-level steps for the open dialog "Filter", one per line (blank lines and lines starting
// with # are skipped); terms are counted from 1:
//   menu N ITEM      chooses ITEM ("&Show Name", "D&isable Filter Clause", ...) in term N's menu
//   type N TYPE      chooses Show, Hide or Color in term N's action list
//   color N NAME     chooses a colour of the colour well's menu (Red, Green, ...)
//   rename N TEXT    renames term N through its menu's "&Rename..."
//   label N R NAME   chooses the label NAME in row R of term N's search expression
//   op N R OPERATOR  chooses the operator ("=", "in range", "contains", ...) in that row
//   value N R TEXT   types TEXT into the row's value field and leaves it (an empty TEXT
//                    empties it); "to N R TEXT" the upper bound of a range
//   conj N R AND|OR  chooses the conjunction after the row
//   row N R ITEM     presses the row's >> and chooses ITEM ("Add Event &After", ...)
//   store ITEM       chooses ITEM in "Store Favorite"; "store New... NAME" names the new one
//   recall ITEM      chooses ITEM in "Recall Favorite" ("#1 - Fav1", "Last", ...)
//   filter on|off    clicks "&Enable" or "&Disable"
//   size WxH         resizes the dialog to W x H pixels, as a person drags its corner
//   ok | cancel      presses the button; an OK the dialog refuses fails with its reason
// Each step acts through the controls as a person does and waits for the list to be laid out
// again. A step that cannot be carried out is refused with its line number.

#include <functional>
#include <string>
#include <vector>

class CWnd;
struct SqzRowControls;

class CqzEditScript
{
public:
    // Exit code 4 when the file cannot be read or a line is not a step.
    static CqzEditScript Load(const std::string& path);
    // The text of a script file; exit code 4 when it cannot be read.
    static std::string ReadFile(const std::string& path);
    // `firstLine`: the number of the text's first line in the origin (the steps of a longer
    // script).
    static CqzEditScript Parse(const std::string& text, const std::string& origin,
                               int firstLine = 1);

    // Applies every step to the dialog; throws CqzHostError (exit code 4) for a step that
    // finds no such term or item.
    void Apply(CWnd* dialog) const;
    // Runs `open`, which opens the dialog modally and returns once it is closed (the editor
    // command's Execute, or the control a person presses for it). Once the dialog is open,
    // applies the steps to it, then `atEnd` when given, after which a dialog still open is
    // cancelled. A step that fails cancels the dialog and is thrown once `open` returned.
    // Answers how the dialog ended (IDOK, IDCANCEL), or -1 when no dialog opened.
    int Run(const std::function<void()>& open,
            const std::function<void(CWnd*)>& atEnd = {}) const;
    std::size_t GetSize() const { return m_steps.size(); }

private:
    struct SqzStep
    {
        int line;
        std::string verb;
        int term;
        int row;
        std::string argument;
    };
    void ApplyStep(CWnd* dialog, const SqzStep& step) const;
    void ApplyRowStep(const std::vector<SqzRowControls>& rows, const SqzStep& step) const;
    void ApplyFavorite(CWnd* dialog, const SqzStep& step) const;
    void PressOk(CWnd* dialog, const SqzStep& step) const;

    std::string m_origin;
    std::vector<SqzStep> m_steps;
};
