#pragma once
// Person-level steps for the view window, one per line (blank lines and lines starting with #
// are skipped), each through the window's own controls:
//   edit             presses "Filter..." (the tool's dialog "Filter"); the lines after it are
//                    the dialog's steps (CqzEditScript) up to its ok or cancel, and the window
//                    runs the filter again after an OK, as it does for a person
//   export FILE      File > Export CSV..., FILE typed into the save dialog (.csv added to a
//                    name without an extension; an existing file is replaced)
//   goto ROW         View > Go to row..., ROW typed into its question
//   time TEXT        View > Go to time..., TEXT typed into its question
//   hidden on|off    sets View > Show hidden rows
//   find TEXT        types TEXT into the find bar and presses Enter
//   close            File > Close
// A step that cannot be carried out (a control that is disabled, a message box the window
// answers with) is refused with its line number, exit code 4.

#include "CqzEditScript.h"

#include <functional>
#include <string>
#include <vector>

class CqzViewWindow;
class QWidget;

class CqzViewScript
{
public:
    // Exit code 4 when the file cannot be read or a line is not a step.
    static CqzViewScript Load(const std::string& path);
    static CqzViewScript Parse(const std::string& text, const std::string& origin);

    // Applies every step to the shown window; throws CqzHostError (exit code 4) for a step
    // that cannot be carried out.
    void Apply(CqzViewWindow& window) const;

private:
    struct SqzStep
    {
        int line;
        std::string verb;
        std::string argument;
        CqzEditScript dialog; // the steps in the dialog "Filter" (edit)
    };
    void ApplyStep(CqzViewWindow& window, const SqzStep& step) const;
    void EditFilter(CqzViewWindow& window, const SqzStep& step) const;
    // Triggers the window's action called `action` and answers the modal windows it opens with
    // `answer` (each once); a message box the window shows refuses the step with its text.
    // `answer` gives its reason when it cannot answer a window.
    void Ask(CqzViewWindow& window, const SqzStep& step, const char* action,
             const std::function<std::string(QWidget*)>& answer) const;

    std::string m_origin;
    std::vector<SqzStep> m_steps;
};
