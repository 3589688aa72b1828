#pragma once
// The view's filter bar: one term typed in the command line's term language, with its action
// first ("hide ADDR in 0x1000..0x1fff", "color red DATA == 0xdead", "show RW high and MSG ~
// \"err\""), checked as the person types (the field turns red and says the parser's message and
// column) and, on Enter, handed to the window as a term to try before every other. Earlier
// entries are kept in the bar's list, the latest first.

#include "CqzFilterDocument.h"
#include "qzSystem/labels/CqzLabel.h"

#include <QComboBox>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;

class CqzFilterBar : public QWidget
{
public:
    explicit CqzFilterBar(QWidget* parent = nullptr);

    // The labels terms may name; the bar checks its text against them.
    void SetLabels(std::vector<const CqzLabel*> labels);
    // Called with the term when the person presses Enter on a valid entry.
    void SetOnApply(std::function<void(const SqzHostFilterTerm&)> apply);

    // What the bar says of its text now: empty when it is a valid term.
    std::string GetProblem() const { return m_problem; }
    QComboBox& GetField() { return *m_field; }

    // The term of an entry, or nothing with `problem` set ("column 6: unknown operator '<>'",
    // columns counted from 1 over the whole entry).
    static std::optional<SqzHostFilterTerm> Parse(const std::string& text,
                                                  const std::vector<const CqzLabel*>& labels,
                                                  std::string& problem);

private:
    void Check();
    void Apply();

    QComboBox* m_field = nullptr;
    QLabel* m_message = nullptr;
    std::vector<const CqzLabel*> m_labels;
    std::function<void(const SqzHostFilterTerm&)> m_apply;
    std::string m_problem;
};
