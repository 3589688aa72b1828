#include "qzSystem/search/CqzSearchEventListView.h"

#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CMenu.h"
#include "mfc/ui/CStatic.h"
#include "mfc/ui/CWnd.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"
#include "qzSystem/search/CqzPatternCheck.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchValueText.h"
#include "qzSystem/ui/CqzChevronMenuBtn.h"
#include "qzSystem/ui/CqzComboBox.h"
#include "qzSystem/ui/CqzEdit.h"

#include <algorithm>

namespace
{
// An entry of the operator list: the pattern mode and choice it sets.
struct Operator
{
    const wchar_t* text;
    bool multiBit;
    int choice;
};

const Operator Comparisons[] = {{L"=", true, 1},        {L"!=", true, 2},          {L"<", true, 3},
                                {L">", true, 4},        {L"<=", true, 5},          {L">=", true, 6},
                                {L"in range", true, 7}, {L"not in range", true, 8}};
const Operator Texts[] = {{L"contains", true, 1}, {L"does not contain", true, 2}};
const Operator Levels[] = {{L"high", false, 4}, {L"low", false, 5}};
// Choices the editor does not offer but shows when a pattern has them: the filter makes no
// test of an edge, so OK refuses them with the reason.
const Operator Others[] = {{L"rising", false, 1},
                           {L"falling", false, 2},
                           {L"either edge", false, 3},
                           {L"don't care", false, 6},
                           {L"transition", true, 9},
                           {L"transition", true, 10},
                           {L"transition", true, 11}};

bool IsText(const CqzLabel* label)
{
    return label != nullptr && label->IsType(eqzLabelString);
}

std::vector<Operator> OperatorsFor(const CqzLabel* label, const CqzPatternModel& pattern)
{
    std::vector<Operator> ops;
    if (IsText(label))
        ops.assign(std::begin(Texts), std::end(Texts));
    else
    {
        ops.assign(std::begin(Comparisons), std::end(Comparisons));
        if (label == nullptr || label->GetWidth() == 1)
            ops.insert(ops.end(), std::begin(Levels), std::end(Levels));
    }
    const bool multi = pattern.IsMultiBitMode();
    const int choice = multi ? pattern.GetMultiBitChoice() : pattern.GetSingleBitChoice();
    auto same = [&](const Operator& op) { return op.multiBit == multi && op.choice == choice; };
    if (std::none_of(ops.begin(), ops.end(), same))
        for (const Operator& op : Others)
            if (same(op))
                ops.push_back(op);
    return ops;
}

// The background of a value field whose text the pattern cannot take.
constexpr COLORREF ProblemColor = RGB(255, 200, 200);

bool IsRange(const CqzPatternModel& pattern)
{
    return pattern.IsMultiBitMode() && (pattern.GetMultiBitChoice() == eqzMultiInRange ||
                                        pattern.GetMultiBitChoice() == eqzMultiNotInRange);
}
} // namespace

// Why the text of a row's value fields was not taken (empty: it was).
struct RowProblem
{
    CString low;
    CString high;
};

// The controls of one event's row.
struct SqzSearchRow
{
    int event = 0;
    std::vector<CqzID> labelIDs;
    std::vector<Operator> ops;
    bool text = false;
    CStatic open;
    CStatic close;
    CqzComboBox label;
    CqzComboBox op;
    CqzEdit low;
    CqzEdit high;
    CStatic to;
    CqzComboBox conj;
    CMenu menu;
    CqzChevronMenuBtn button;
    // What the lists hold now, so that a relayout refills only a list whose entries changed.
    std::vector<CString> labelTexts;
    std::vector<CString> opTexts;
    std::vector<CString> conjTexts;
    RowProblem problem;

    std::vector<CWnd*> Windows() const
    {
        std::vector<CWnd*> all;
        for (const CWnd* w :
             std::initializer_list<const CWnd*>{&label, &op, &low, &high, &conj, &button})
            if (w->GetSafeHwnd() != nullptr && w->IsWindowVisible())
                all.push_back(const_cast<CWnd*>(w));
        return all;
    }
};

struct CqzSearchEventListView::SqzImp
{
    explicit SqzImp(CqzSearchEventList* eventList) : list(eventList) {}

    CqzSearchEventList* list;
    CqzID instance;
    std::vector<std::unique_ptr<SqzSearchRow>> rows;
    // Shown instead of the rows when the expression has no event.
    std::unique_ptr<CqzChevronMenuBtn> addFirst;
    CMenu addMenu;

    CqzComboBoxValueChangedCmd<SqzImp> labelCmd{this, &SqzImp::OnLabel};
    CqzComboBoxValueChangedCmd<SqzImp> opCmd{this, &SqzImp::OnOperator};
    CqzComboBoxValueChangedCmd<SqzImp> conjCmd{this, &SqzImp::OnConj};
    CqzEditValueChangedCmd<SqzImp> valueCmd{this, &SqzImp::OnValue};
    CqzMenuButtonValueChangedCmd<SqzImp> menuCmd{this, &SqzImp::OnMenu};

    // Which row and which control, for finding the focus again after a layout.
    struct Place
    {
        int row = -1;
        int slot = -1;
    };
    Place FocusPlace() const;
    void RestoreFocus(Place place);

    SqzSearchRow* RowOf(const CWnd* source) const;
    CqzPatternModel* PatternOf(const SqzSearchRow& row) const;
    // Makes the row's controls that are missing, moves those that stay and drops the rest.
    void PlaceRow(SqzSearchRow& row, CqzSearchCreateViewParameters& p, int& y);
    void PlaceAddFirst(CqzSearchCreateViewParameters& p, int& y);
    // Rows and buttons that go are deleted once none of their controls handles a message.
    void RetireLastRow();
    void RetireAddFirst();
    void FillValues(SqzSearchRow& row, const CqzPatternModel& pattern);
    void BuildMenu(SqzSearchRow& row);

    bool OnLabel();
    bool OnOperator();
    bool OnConj();
    bool OnValue();
    bool OnMenu();
};

namespace
{
// Measuring in the parameters' device context with their font.
class Measure
{
public:
    explicit Measure(CqzSearchCreateViewParameters& p) : m_dc(p.GetDC())
    {
        if (m_dc != nullptr && p.GetFont() != nullptr)
            m_old = m_dc->SelectObject(p.GetFont());
    }
    ~Measure()
    {
        if (m_old != nullptr)
            m_dc->SelectObject(m_old);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;
    int Width(const CString& text) const
    {
        return m_dc != nullptr ? m_dc->GetTextExtent(text).cx : 7 * text.GetLength();
    }

private:
    CDC* m_dc;
    CFont* m_old = nullptr;
};

int ListExtra()
{
    return GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
}

// Creates or moves a control to the logical rectangle, shifted by the scroll offset.
CRect Shifted(CRect rect, CPoint offset)
{
    rect.OffsetRect(-offset.x, -offset.y);
    return rect;
}
} // namespace

CqzSearchEventListView::CqzSearchEventListView(CqzSearchEventList* list)
    : m_imp(std::make_unique<SqzImp>(list))
{
    m_imp->addMenu.CreatePopupMenu();
    m_imp->addMenu.AppendMenu(MF_STRING, eAddFirst, L"Add Event");
}

CqzSearchEventListView::~CqzSearchEventListView()
{
    while (!m_imp->rows.empty())
        m_imp->RetireLastRow();
    m_imp->RetireAddFirst();
}

void CqzSearchEventListView::Layout(CqzSearchCreateViewParameters& p)
{
    SqzImp& imp = *m_imp;
    const SqzImp::Place focus = imp.FocusPlace();
    imp.instance = p.GetInstanceID();
    const CPoint start = p.GetPosition();
    int y = start.y;
    const int count = imp.list->GetEventCount();
    while (static_cast<int>(imp.rows.size()) > count)
        imp.RetireLastRow();
    if (count == 0)
        imp.PlaceAddFirst(p, y);
    else
        imp.RetireAddFirst();
    for (int i = 0; i < count; ++i)
    {
        if (i == static_cast<int>(imp.rows.size()))
            imp.rows.push_back(std::make_unique<SqzSearchRow>());
        SqzSearchRow& row = *imp.rows[static_cast<std::size_t>(i)];
        row.event = i;
        imp.PlaceRow(row, p, y);
    }
    // The position is left below the last row (without the spacing after it).
    p.SetPosition(start.x, y - p.GetVCtrlSpacing());
    if (focus.row >= 0 && CWnd::GetFocus() == nullptr)
        imp.RestoreFocus(focus);
}

void CqzSearchEventListView::GetWindows(std::vector<CWnd*>& windows) const
{
    if (m_imp->addFirst)
        windows.push_back(m_imp->addFirst.get());
    for (const auto& row : m_imp->rows)
        for (CWnd* w : row->Windows())
            windows.push_back(w);
}

CString CqzSearchEventListView::GetShownText() const
{
    CString text;
    auto shown = [](const CWnd& w) { return w.GetSafeHwnd() != nullptr ? w.GetWindowText() : CString(); };
    auto field = [&](const CqzEdit& w, const CString& problem)
    { return problem.IsEmpty() ? shown(w) : CString(L"#"); };
    for (const auto& row : m_imp->rows)
    {
        text += shown(row->open) + shown(row->label) + L" " + shown(row->op);
        if (row->low.GetSafeHwnd() != nullptr)
            text += L" " + field(row->low, row->problem.low);
        if (row->high.GetSafeHwnd() != nullptr)
            text += L" to " + field(row->high, row->problem.high);
        text += shown(row->close);
        if (row->conj.GetSafeHwnd() != nullptr)
            text += L" " + shown(row->conj) + L" ";
    }
    return text;
}

CString CqzSearchEventListView::GetModelText() const
{
    const CqzSearchEventList& list = *m_imp->list;
    CString text;
    for (int i = 0; i < list.GetEventCount(); ++i)
    {
        const CqzPatternModel& pattern = *list.GetEvent(i)->GetEventLabel();
        const CqzLabel* label =
            CqzLabelMgr::Instance().IDToLabel(pattern.GetLabelInfo().GetLabelID());
        const RowProblem none;
        const RowProblem& problem = i < static_cast<int>(m_imp->rows.size())
                                        ? m_imp->rows[static_cast<std::size_t>(i)]->problem
                                        : none;
        text += CString(L'(', list.GetOpeningBracketsBefore(i));
        text += label != nullptr ? label->GetName() : CString(L"(unknown label)");
        for (const Operator& op : OperatorsFor(label, pattern))
            if (op.multiBit == pattern.IsMultiBitMode() &&
                op.choice == (op.multiBit ? pattern.GetMultiBitChoice() : pattern.GetSingleBitChoice()))
                text += CString(L" ") + op.text;
        if (pattern.IsMultiBitMode())
        {
            CString value;
            CqzUInt low, high;
            pattern.GetValue(low, high);
            if (IsText(label))
                pattern.GetValue(value);
            else
                value = CqzSearchValueText::Format(low, IsRange(pattern) ? CqzUInt() : high);
            text += L" " + (problem.low.IsEmpty() ? value : CString(L"#"));
            if (!IsText(label) && IsRange(pattern))
                text += L" to " + (problem.high.IsEmpty() ? CqzSearchValueText::Format(high)
                                                          : CString(L"#"));
        }
        text += CString(L')', list.GetClosingBracketsAfter(i));
        if (const CqzSearchEventConj* conj = list.GetConjAfter(i))
            text += conj->GetType() == eqzConjOr ? L" OR " : L" AND ";
    }
    return text;
}

bool CqzSearchEventListView::FindProblem(int& row, CString& reason) const
{
    for (std::size_t r = 0; r < m_imp->rows.size(); ++r)
        for (const CString* problem : {&m_imp->rows[r]->problem.low, &m_imp->rows[r]->problem.high})
            if (!problem->IsEmpty())
            {
                row = static_cast<int>(r);
                reason = *problem;
                return true;
            }
    return false;
}

void CqzSearchEventListView::SqzImp::RetireLastRow()
{
    std::unique_ptr<SqzSearchRow> row = std::move(rows.back());
    rows.pop_back();
    for (CqzComboBox* combo : {&row->label, &row->op, &row->conj})
        combo->SetValueChangedCmd(nullptr);
    row->low.SetValueChangedCmd(nullptr);
    row->high.SetValueChangedCmd(nullptr);
    row->button.SetValueChangedCmd(nullptr);
    std::vector<CWnd*> windows = row->Windows();
    for (CWnd* w : windows)
        w->ShowWindow(SW_HIDE);
    AfxDeleteAfterMessages(std::move(row), windows);
}

void CqzSearchEventListView::SqzImp::RetireAddFirst()
{
    if (!addFirst)
        return;
    addFirst->SetValueChangedCmd(nullptr);
    addFirst->ShowWindow(SW_HIDE);
    CWnd* window = addFirst.get();
    AfxDeleteAfterMessages(std::move(addFirst), {window});
}

void CqzSearchEventListView::SqzImp::PlaceAddFirst(CqzSearchCreateViewParameters& p, int& y)
{
    const CPoint start = p.GetPosition();
    const CRect rect(start.x, y, start.x + GetSystemMetrics(SM_CXVSCROLL), y + p.GetVCtrl());
    if (!addFirst)
    {
        addFirst = std::make_unique<CqzChevronMenuBtn>();
        addFirst->Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                         Shifted(rect, p.GetOffsetPosition()), p.GetParent(), 0xFFFF, addMenu);
        addFirst->SetValueChangedCmd(&menuCmd);
        addFirst->ShowToolTip(L"Add an event to the expression");
    }
    else
        addFirst->MoveWindow(Shifted(rect, p.GetOffsetPosition()));
    CPoint max = p.GetMaxPosition();
    max.x = std::max<LONG>(max.x, rect.right);
    p.SetMaxPosition(max);
    y += p.GetVCtrl() + p.GetVCtrlSpacing();
}

namespace
{
// Moves the control to the rectangle, or makes it there when it has no window yet.
template <typename Make> void Put(CWnd& control, const CRect& rect, Make make)
{
    if (control.GetSafeHwnd() != nullptr)
        control.MoveWindow(rect);
    else
        make(rect);
}

void Drop(CWnd& control)
{
    if (control.GetSafeHwnd() != nullptr)
        control.DestroyWindow();
}

// A static text at the rectangle with that text, made or updated.
void PutText(CStatic& label, const CString& text, DWORD align, const CRect& rect, CWnd* parent,
             CFont* font)
{
    if (label.GetSafeHwnd() == nullptr)
    {
        label.Create(text, WS_CHILD | WS_VISIBLE | align | SS_CENTERIMAGE, rect, parent);
        label.SetFont(font, TRUE);
        return;
    }
    label.MoveWindow(rect);
    if (label.GetWindowText() != text)
        label.SetWindowText(text);
}
} // namespace

void CqzSearchEventListView::SqzImp::PlaceRow(SqzSearchRow& row, CqzSearchCreateViewParameters& p,
                                              int& y)
{
    const Measure measure(p);
    CqzPatternModel* pattern = PatternOf(row);
    const CqzLabel* current =
        CqzLabelMgr::Instance().IDToLabel(pattern->GetLabelInfo().GetLabelID());
    const CPoint offset = p.GetOffsetPosition();
    const int hd = p.GetHDBU();
    const int height = p.GetVCtrl();
    const int dropped = height * 8;
    CWnd* parent = p.GetParent();
    // Each group indents by one step; the opening brackets sit in the indentation.
    const int step = std::max(hd, measure.Width(L"(") + 2);
    int x = p.GetPosition().x + step * list->GetDepth(row.event);
    auto place = [&](int width)
    {
        const CRect rect(x, y, x + width, y + height);
        x = rect.right + hd;
        return rect;
    };
    auto marker = [&](CStatic& label, int brackets, wchar_t bracket)
    {
        if (brackets <= 0)
            return Drop(label);
        const CString text(bracket, brackets);
        PutText(label, text, SS_CENTER, Shifted(place(measure.Width(text)), offset), parent,
                p.GetFont());
    };
    auto choices = [&](CqzComboBox& combo, std::vector<CString>& shown,
                       const std::vector<CString>& texts, int selected, CqzComboBoxCmd* command)
    {
        int width = 0;
        for (const CString& text : texts)
            width = std::max(width, measure.Width(text));
        CRect rect = place(width + ListExtra());
        rect.bottom = rect.top + dropped;
        Put(combo, Shifted(rect, offset),
            [&](const CRect& r)
            {
                combo.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, r, parent, 1);
                combo.SetFont(p.GetFont(), TRUE);
                combo.SetValueChangedCmd(command);
            });
        if (shown != texts)
        {
            combo.ResetContent();
            for (const CString& text : texts)
                combo.AddString(text);
            shown = texts;
        }
        if (combo.GetCurSel() != selected)
            combo.SetCurSel(selected);
    };

    if (const int opening = list->GetOpeningBracketsBefore(row.event))
    {
        const CString text(L'(', opening);
        const int width = measure.Width(text);
        PutText(row.open, text, SS_RIGHT,
                Shifted(CRect(x - width - 1, y, x - 1, y + height), offset), parent, p.GetFont());
    }
    else
        Drop(row.open);

    // Labels: those available to the instance, and the event's own when it is not among them.
    std::vector<CString> names;
    int selected = -1;
    row.labelIDs.clear();
    const std::vector<CqzID> available = CqzSystemMgr::Instance().GetAvailableLabels(instance);
    for (const CqzID& id : available)
        if (const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(id))
        {
            if (id == pattern->GetLabelInfo().GetLabelID())
                selected = static_cast<int>(names.size());
            row.labelIDs.push_back(id);
            names.push_back(label->GetName());
        }
    if (selected < 0)
    {
        selected = static_cast<int>(names.size());
        row.labelIDs.push_back(pattern->GetLabelInfo().GetLabelID());
        names.push_back(current != nullptr ? current->GetName() : CString(L"(unknown label)"));
    }
    choices(row.label, row.labelTexts, names, selected, &labelCmd);

    const bool wasText = row.text;
    row.ops = OperatorsFor(current, *pattern);
    row.text = IsText(current);
    std::vector<CString> opTexts;
    int opSelected = 0;
    for (std::size_t i = 0; i < row.ops.size(); ++i)
    {
        opTexts.push_back(row.ops[i].text);
        const bool multi = pattern->IsMultiBitMode();
        const int choice = multi ? pattern->GetMultiBitChoice() : pattern->GetSingleBitChoice();
        if (row.ops[i].multiBit == multi && row.ops[i].choice == choice)
            opSelected = static_cast<int>(i);
    }
    choices(row.op, row.opTexts, opTexts, opSelected, &opCmd);

    if (pattern->IsMultiBitMode())
    {
        const int digits =
            current != nullptr && !row.text ? std::clamp((current->GetWidth() + 3) / 4, 4, 32) : 12;
        const int width = measure.Width(CString(row.text ? L'M' : L'0', digits)) + 2 * hd;
        auto edit = [&](CqzEdit& field)
        {
            Put(field, Shifted(place(width), offset),
                [&](const CRect& r)
                {
                    field.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, r,
                                 parent, 1);
                    field.SetFont(p.GetFont(), TRUE);
                    field.SetValueChangedCmd(&valueCmd);
                });
        };
        edit(row.low);
        if (IsRange(*pattern))
        {
            PutText(row.to, L"to", SS_CENTER, Shifted(place(measure.Width(L"to")), offset), parent,
                    p.GetFont());
            edit(row.high);
        }
        else
        {
            Drop(row.to);
            Drop(row.high);
        }
        if (wasText != row.text)
            row.problem = RowProblem();
        FillValues(row, *pattern);
    }
    else
    {
        Drop(row.low);
        Drop(row.to);
        Drop(row.high);
        row.problem = RowProblem();
    }

    marker(row.close, list->GetClosingBracketsAfter(row.event), L')');
    if (CqzSearchEventConj* conj = list->GetConjAfter(row.event))
        choices(row.conj, row.conjTexts, {L"AND", L"OR"}, conj->GetType() == eqzConjOr ? 1 : 0,
                &conjCmd);
    else
    {
        Drop(row.conj);
        row.conjTexts.clear();
    }

    BuildMenu(row);
    const CRect button = place(GetSystemMetrics(SM_CXVSCROLL));
    Put(row.button, Shifted(button, offset),
        [&](const CRect& r)
        {
            row.button.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, parent, 0xFFFF, row.menu);
            row.button.SetValueChangedCmd(&menuCmd);
            row.button.ShowToolTip(L"Add or remove events and brackets");
        });
    row.button.SetMenu(row.menu);

    CPoint max = p.GetMaxPosition();
    max.x = std::max<LONG>(max.x, button.right);
    max.y = std::max<LONG>(max.y, y + height);
    p.SetMaxPosition(max);
    y += height + p.GetVCtrlSpacing();
}

void CqzSearchEventListView::SqzImp::FillValues(SqzSearchRow& row, const CqzPatternModel& pattern)
{
    // A field the person typed something wrong into keeps it, marked, until it is mended.
    auto show = [](CqzEdit& field, const CString& problem, const CString& text)
    {
        if (field.GetSafeHwnd() == nullptr)
            return;
        if (problem.IsEmpty() && field.GetWindowText() != text)
            field.SetWindowText(text);
        field.SetBackgroundColor(problem.IsEmpty() ? GetSysColor(COLOR_WINDOW) : ProblemColor);
        field.SetToolTipText(problem);
    };
    if (row.text)
    {
        CString text;
        pattern.GetValue(text);
        show(row.low, row.problem.low, text);
        return;
    }
    CqzUInt value, second;
    pattern.GetValue(value, second);
    if (IsRange(pattern))
    {
        show(row.low, row.problem.low, CqzSearchValueText::Format(value));
        show(row.high, row.problem.high, CqzSearchValueText::Format(second));
    }
    else
        show(row.low, row.problem.low, CqzSearchValueText::Format(value, second));
}

void CqzSearchEventListView::SqzImp::BuildMenu(SqzSearchRow& row)
{
    const int count = list->GetEventCount();
    const bool canBracket = row.event + 1 < count &&
                            list->GetDepth(row.event) == list->GetDepth(row.event + 1) &&
                            list->GetClosingBracketsAfter(row.event) == 0 &&
                            list->GetOpeningBracketsBefore(row.event + 1) == 0;
    row.menu.CreatePopupMenu();
    row.menu.AppendMenu(MF_STRING, eAddAfter, L"Add Event &After");
    row.menu.AppendMenu(MF_STRING, eAddBefore, L"Add Event &Before");
    row.menu.AppendMenu(MF_STRING | (count > 1 ? 0 : MF_GRAYED), eRemove, L"&Remove Event");
    row.menu.AppendMenu(MF_SEPARATOR);
    row.menu.AppendMenu(MF_STRING | (canBracket ? 0 : MF_GRAYED), eBracketNext,
                        L"Bracket With &Next");
    row.menu.AppendMenu(MF_STRING | (list->GetDepth(row.event) > 0 ? 0 : MF_GRAYED),
                        eRemoveBrackets, L"Remove Brac&kets");
}

CqzSearchEventListView::SqzImp::Place CqzSearchEventListView::SqzImp::FocusPlace() const
{
    const CWnd* focus = CWnd::GetFocus();
    for (std::size_t r = 0; focus != nullptr && r < rows.size(); ++r)
    {
        const SqzSearchRow& row = *rows[r];
        const CWnd* slots[] = {&row.label, &row.op, &row.low, &row.high, &row.conj, &row.button};
        for (int s = 0; s < 6; ++s)
            if (slots[s] == focus)
                return {static_cast<int>(r), s};
    }
    return {};
}

void CqzSearchEventListView::SqzImp::RestoreFocus(Place place)
{
    if (place.row < 0 || rows.empty())
        return;
    SqzSearchRow& row = *rows[static_cast<std::size_t>(
        std::min<int>(place.row, static_cast<int>(rows.size()) - 1))];
    CWnd* slots[] = {&row.label, &row.op, &row.low, &row.high, &row.conj, &row.button};
    CWnd* target = slots[place.slot];
    if (target->GetSafeHwnd() == nullptr)
        target = &row.button;
    target->SetFocus();
}

SqzSearchRow* CqzSearchEventListView::SqzImp::RowOf(const CWnd* source) const
{
    for (const auto& row : rows)
        for (const CWnd* w : std::initializer_list<const CWnd*>{
                 &row->label, &row->op, &row->low, &row->high, &row->conj, &row->button})
            if (w == source)
                return row.get();
    return nullptr;
}

CqzPatternModel* CqzSearchEventListView::SqzImp::PatternOf(const SqzSearchRow& row) const
{
    CqzSearchEventLabel* event = list->GetEvent(row.event);
    return event != nullptr ? event->GetEventLabel() : nullptr;
}

bool CqzSearchEventListView::SqzImp::OnLabel()
{
    SqzSearchRow* row = RowOf(labelCmd.GetSource());
    const int index = labelCmd.GetValue();
    if (row == nullptr || index < 0 || index >= static_cast<int>(row->labelIDs.size()))
        return false;
    CqzPatternModel* pattern = PatternOf(*row);
    const CqzID id = row->labelIDs[static_cast<std::size_t>(index)];
    if (pattern->GetLabelInfo().GetLabelID() == id)
        return true;
    pattern->SetLabelInfo(CqzLabelChannel(id, -1));
    // Keep only operators the new label offers.
    const std::vector<Operator> ops =
        OperatorsFor(CqzLabelMgr::Instance().IDToLabel(id), CqzPatternModel());
    const bool multi = pattern->IsMultiBitMode();
    const int choice = multi ? pattern->GetMultiBitChoice() : pattern->GetSingleBitChoice();
    if (std::none_of(ops.begin(), ops.end(),
                     [&](const Operator& op)
                     { return op.multiBit == multi && op.choice == choice; }))
    {
        pattern->SetMultiBitMode(true);
        pattern->SetMultiBitChoice(eqzMultiEqual);
    }
    return true;
}

bool CqzSearchEventListView::SqzImp::OnOperator()
{
    SqzSearchRow* row = RowOf(opCmd.GetSource());
    const int index = opCmd.GetValue();
    if (row == nullptr || index < 0 || index >= static_cast<int>(row->ops.size()))
        return false;
    const Operator& op = row->ops[static_cast<std::size_t>(index)];
    CqzPatternModel* pattern = PatternOf(*row);
    if (pattern->IsMultiBitMode() != op.multiBit)
        pattern->SetMultiBitMode(op.multiBit);
    if (op.multiBit && pattern->GetMultiBitChoice() != op.choice)
        pattern->SetMultiBitChoice(op.choice);
    else if (!op.multiBit && pattern->GetSingleBitChoice() != op.choice)
        pattern->SetSingleBitChoice(op.choice);
    return true;
}

bool CqzSearchEventListView::SqzImp::OnConj()
{
    SqzSearchRow* row = RowOf(conjCmd.GetSource());
    if (row == nullptr)
        return false;
    list->SetConjType(list->GetConjAfter(row->event),
                      conjCmd.GetValue() == 1 ? eqzConjOr : eqzConjAnd);
    return true;
}

bool CqzSearchEventListView::SqzImp::OnValue()
{
    SqzSearchRow* row = RowOf(valueCmd.GetSource());
    if (row == nullptr)
        return false;
    CqzPatternModel* pattern = PatternOf(*row);
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(pattern->GetLabelInfo().GetLabelID());
    const bool high = valueCmd.GetSource() == &row->high;
    CString& problem = high ? row->problem.high : row->problem.low;
    const CString typed = (high ? row->high : row->low).GetWindowText();
    if (row->text)
    {
        problem = CqzPatternCheck::TextProblem(typed);
        CString now;
        pattern->GetValue(now);
        if (problem.IsEmpty() && now != typed)
            pattern->SetValue(typed);
        FillValues(*row, *pattern);
        return problem.IsEmpty();
    }
    CqzUInt value, dontCare;
    problem = CqzPatternCheck::NumberProblem(typed, label, IsRange(*pattern), value, dontCare);
    if (problem.IsEmpty())
    {
        CqzUInt oldValue, oldSecond;
        pattern->GetValue(oldValue, oldSecond);
        CqzUInt newValue = oldValue, newSecond = oldSecond;
        if (!IsRange(*pattern))
            newValue = value, newSecond = dontCare;
        else if (high)
            newSecond = value;
        else
            newValue = value;
        if (!(newValue == oldValue) || !(newSecond == oldSecond))
            pattern->SetValue(newValue, newSecond);
    }
    FillValues(*row, *pattern);
    return problem.IsEmpty();
}

bool CqzSearchEventListView::SqzImp::OnMenu()
{
    const auto command = static_cast<EMenuCommand>(menuCmd.GetValue());
    if (command == eAddFirst)
    {
        list->Default(instance);
        return true;
    }
    SqzSearchRow* row = RowOf(menuCmd.GetSource());
    if (row == nullptr)
        return false;
    // A new event tests the same label for equality with 0.
    const CqzPatternModel fresh(PatternOf(*row)->GetLabelInfo());
    switch (command)
    {
    case eAddAfter:
        list->InsertEvent(row->event, fresh, eqzConjAnd);
        return true;
    case eAddBefore:
        list->InsertEvent(row->event - 1, fresh, eqzConjAnd);
        return true;
    case eRemove:
        return list->GetEventCount() > 1 && list->RemoveEvent(row->event, true, true);
    case eBracketNext:
        return list->AddBrackets(row->event, row->event + 1);
    case eRemoveBrackets:
        return list->RemoveBrackets(row->event);
    default:
        return false;
    }
}
