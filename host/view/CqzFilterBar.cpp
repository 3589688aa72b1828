#include "CqzFilterBar.h"

#include "CqzColorName.h"
#include "CqzTermError.h"
#include "CqzTermParser.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cctype>

namespace
{
// The next word of `text` from `at` on: its first column (from 1) and the word.
std::pair<int, std::string> NextWord(const std::string& text, std::size_t& at)
{
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    const std::size_t start = at;
    while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return {int(start) + 1, text.substr(start, at - start)};
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string At(int column, const std::string& reason)
{
    return "column " + std::to_string(column) + ": " + reason;
}
// An example of the bar's language on the capture's own labels (plain names only).
QString Example(const std::vector<const CqzLabel*>& labels)
{
    std::vector<std::string> names;
    for (const CqzLabel* label : labels)
    {
        const std::string name = label->GetName().ToUtf8();
        const bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                           std::all_of(name.begin(), name.end(), [](char c)
                                       { return std::isalnum(static_cast<unsigned char>(c)) ||
                                                c == '_'; });
        const bool value = label->IsType(eqzLabelDigital) || label->IsType(eqzLabelIntegral);
        if (plain && value && names.size() < 2)
            names.push_back(name);
    }
    while (names.size() < 2)
        names.push_back("LABEL");
    return QString::fromStdString("hide " + names[0] + " == 0   |   color red " + names[1] +
                                  " == 1   |   show " + names[0] + " != 0 and " + names[1] +
                                  " != 0");
}
} // namespace

CqzFilterBar::CqzFilterBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Filter &bar:"), this));
    m_field = new QComboBox(this);
    m_field->setEditable(true);
    m_field->setInsertPolicy(QComboBox::NoInsert);
    m_field->setMinimumWidth(380);
    m_field->lineEdit()->setPlaceholderText(Example({}));
    m_field->setToolTip(QStringLiteral("A term tried before the others: hide, show or color "
                                       "COLOUR, then an expression as on the command line"));
    static_cast<QLabel*>(layout->itemAt(0)->widget())->setBuddy(m_field);
    layout->addWidget(m_field, 1);
    m_message = new QLabel(this);
    layout->addWidget(m_message, 1);
    connect(m_field->lineEdit(), &QLineEdit::textChanged, this, [this] { Check(); });
    connect(m_field->lineEdit(), &QLineEdit::returnPressed, this, [this] { Apply(); });
}

void CqzFilterBar::SetLabels(std::vector<const CqzLabel*> labels)
{
    m_labels = std::move(labels);
    m_field->lineEdit()->setPlaceholderText(Example(m_labels));
    Check();
}

void CqzFilterBar::SetOnApply(std::function<void(const SqzHostFilterTerm&)> apply)
{
    m_apply = std::move(apply);
}

std::optional<SqzHostFilterTerm> CqzFilterBar::Parse(const std::string& text,
                                                     const std::vector<const CqzLabel*>& labels,
                                                     std::string& problem)
{
    std::size_t at = 0;
    const auto [actionColumn, actionWord] = NextWord(text, at);
    const std::string action = Lower(actionWord);
    SqzHostFilterTerm term;
    if (action == "hide" || action == "show")
        term.action = action == "hide" ? eqzHostHide : eqzHostShow;
    else if (action == "color" || action == "colour")
    {
        term.action = eqzHostColor;
        const auto [colorColumn, name] = NextWord(text, at);
        const std::optional<COLORREF> color = CqzColorName::Parse(name);
        if (!color)
        {
            problem = At(colorColumn, name.empty() ? "a colour follows color"
                                                   : "unknown colour '" + name + "'; use " +
                                                         CqzColorName::List());
            return std::nullopt;
        }
        term.color = *color;
    }
    else
    {
        problem = At(actionColumn, "start with hide, show or color");
        return std::nullopt;
    }
    const std::string expression = text.substr(at);
    try
    {
        term.search = CqzTermParser(labels).Parse(expression);
    }
    catch (const CqzTermError& error)
    {
        problem = At(int(at) + error.GetColumn(), error.GetReason());
        return std::nullopt;
    }
    std::size_t first = expression.find_first_not_of(' ');
    term.name = CString::FromUtf8(expression.substr(first == std::string::npos ? 0 : first));
    problem.clear();
    return term;
}

void CqzFilterBar::Check()
{
    const std::string text = m_field->currentText().toStdString();
    m_problem.clear();
    if (text.find_first_not_of(' ') != std::string::npos)
        Parse(text, m_labels, m_problem);
    const bool bad = !m_problem.empty();
    m_field->lineEdit()->setStyleSheet(bad ? QStringLiteral("background:#fde0e0") : QString());
    m_message->setText(QString::fromStdString(m_problem));
    m_message->setStyleSheet(bad ? QStringLiteral("color:#b00000") : QString());
}

void CqzFilterBar::Apply()
{
    const QString text = m_field->currentText().trimmed();
    std::string problem;
    const std::optional<SqzHostFilterTerm> term = Parse(text.toStdString(), m_labels, problem);
    if (!term || !m_apply)
        return Check();
    const int earlier = m_field->findText(text);
    if (earlier >= 0)
        m_field->removeItem(earlier);
    m_field->insertItem(0, text);
    m_field->setCurrentIndex(-1);
    m_field->clearEditText();
    m_apply(*term);
}
