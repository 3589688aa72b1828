#include "qzSystem/search/CqzSearchEventListView.h"

#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CMenu.h"
#include "mfc/ui/CStatic.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"
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
const Operator Levels[] = {{L"high", false, 4},
                           {L"low", false, 5},
                           {L"rising", false, 1},
                           {L"falling", false, 2},
                           {L"either edge", false, 3}};
// Choices the editor does not offer but keeps when a pattern has them.
const Operator Others[] = {{L"don't care", false, 6},
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

bool IsRange(const CqzPatternModel& pattern)
{
    return pattern.IsMultiBitMode() && (pattern.GetMultiBitChoice() == eqzMultiInRange ||
                                        pattern.GetMultiBitChoice() == eqzMultiNotInRange);
}
} // namespace

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
    void MakeRow(SqzSearchRow& row, CqzSearchCreateViewParameters& p, int& y);
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

CqzSearchEventListView::~CqzSearchEventListView() = default;

void CqzSearchEventListView::Layout(CqzSearchCreateViewParameters& p)
{
    SqzImp& imp = *m_imp;
    const SqzImp::Place focus = imp.FocusPlace();
    imp.rows.clear();
    imp.addFirst.reset();
    imp.instance = p.GetInstanceID();
    const CPoint start = p.GetPosition();
    int y = start.y;
    const int count = imp.list->GetEventCount();
    if (count == 0)
    {
        imp.addFirst = std::make_unique<CqzChevronMenuBtn>();
        const CRect rect(start.x, y, start.x + GetSystemMetrics(SM_CXVSCROLL), y + p.GetVCtrl());
        imp.addFirst->Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                             Shifted(rect, p.GetOffsetPosition()), p.GetParent(), 0xFFFF,
                             imp.addMenu);
        imp.addFirst->SetValueChangedCmd(&imp.menuCmd);
        imp.addFirst->ShowToolTip(L"Add an event to the expression");
        CPoint max = p.GetMaxPosition();
        max.x = std::max<LONG>(max.x, rect.right);
        p.SetMaxPosition(max);
        y += p.GetVCtrl() + p.GetVCtrlSpacing();
    }
    for (int i = 0; i < count; ++i)
    {
        auto row = std::make_unique<SqzSearchRow>();
        row->event = i;
        imp.MakeRow(*row, p, y);
        imp.rows.push_back(std::move(row));
    }
    // The position is left below the last row (without the spacing after it).
    p.SetPosition(start.x, y - p.GetVCtrlSpacing());
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

void CqzSearchEventListView::SqzImp::MakeRow(SqzSearchRow& row, CqzSearchCreateViewParameters& p,
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
            return;
        const CString text(bracket, brackets);
        label.Create(text, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                     Shifted(place(measure.Width(text)), offset), parent);
        label.SetFont(p.GetFont(), TRUE);
    };
    auto list = [&](CqzComboBox& combo, const std::vector<CString>& texts, int selected,
                    CqzComboBoxCmd* command)
    {
        int width = 0;
        for (const CString& text : texts)
            width = std::max(width, measure.Width(text));
        CRect rect = place(width + ListExtra());
        rect.bottom = rect.top + dropped;
        combo.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, Shifted(rect, offset),
                     parent, 1);
        combo.SetFont(p.GetFont(), TRUE);
        for (const CString& text : texts)
            combo.AddString(text);
        combo.SetCurSel(selected);
        combo.SetValueChangedCmd(command);
    };

    if (const int opening = this->list->GetOpeningBracketsBefore(row.event))
    {
        const CString text(L'(', opening);
        const int width = measure.Width(text);
        row.open.Create(text, WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE,
                        Shifted(CRect(x - width - 1, y, x - 1, y + height), offset), parent);
        row.open.SetFont(p.GetFont(), TRUE);
    }

    // Labels: those available to the instance, and the event's own when it is not among them.
    std::vector<CString> names;
    int selected = -1;
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
    list(row.label, names, selected, &labelCmd);

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
    list(row.op, opTexts, opSelected, &opCmd);

    if (pattern->IsMultiBitMode())
    {
        const int digits =
            current != nullptr && !row.text ? std::clamp((current->GetWidth() + 3) / 4, 4, 32) : 12;
        const int width = measure.Width(CString(row.text ? L'M' : L'0', digits)) + 2 * hd;
        auto edit = [&](CqzEdit& field)
        {
            field.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                         Shifted(place(width), offset), parent, 1);
            field.SetFont(p.GetFont(), TRUE);
            field.SetValueChangedCmd(&valueCmd);
        };
        edit(row.low);
        if (IsRange(*pattern))
        {
            row.to.Create(L"to", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                          Shifted(place(measure.Width(L"to")), offset), parent);
            row.to.SetFont(p.GetFont(), TRUE);
            edit(row.high);
        }
        FillValues(row, *pattern);
    }

    marker(row.close, this->list->GetClosingBracketsAfter(row.event), L')');
    if (CqzSearchEventConj* conj = this->list->GetConjAfter(row.event))
        list(row.conj, {L"AND", L"OR"}, conj->GetType() == eqzConjOr ? 1 : 0, &conjCmd);

    BuildMenu(row);
    const CRect button = place(GetSystemMetrics(SM_CXVSCROLL));
    row.button.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, Shifted(button, offset), parent,
                      0xFFFF, row.menu);
    row.button.SetValueChangedCmd(&menuCmd);
    row.button.ShowToolTip(L"Add or remove events and brackets");

    CPoint max = p.GetMaxPosition();
    max.x = std::max<LONG>(max.x, button.right);
    max.y = std::max<LONG>(max.y, y + height);
    p.SetMaxPosition(max);
    y += height + p.GetVCtrlSpacing();
}

void CqzSearchEventListView::SqzImp::FillValues(SqzSearchRow& row, const CqzPatternModel& pattern)
{
    if (row.text)
    {
        CString text;
        pattern.GetValue(text);
        row.low.SetWindowText(text);
        return;
    }
    CqzUInt value, second;
    pattern.GetValue(value, second);
    if (IsRange(pattern))
    {
        row.low.SetWindowText(CqzSearchValueText::Format(value));
        row.high.SetWindowText(CqzSearchValueText::Format(second));
    }
    else
        row.low.SetWindowText(CqzSearchValueText::Format(value, second));
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
    if (row->text)
    {
        CString now;
        pattern->GetValue(now);
        if (now != row->low.GetWindowText())
            pattern->SetValue(row->low.GetWindowText());
        return true;
    }
    CqzUInt value, second, ignored;
    const bool range = IsRange(*pattern);
    const bool ok = range
                        ? CqzSearchValueText::Parse(row->low.GetWindowText(), value, ignored) &&
                              CqzSearchValueText::Parse(row->high.GetWindowText(), second, ignored)
                        : CqzSearchValueText::Parse(row->low.GetWindowText(), value, second);
    CqzUInt oldValue, oldSecond;
    pattern->GetValue(oldValue, oldSecond);
    if (!ok)
    {
        // Text that is no number is refused: the field shows the pattern's value again.
        FillValues(*row, *pattern);
        return false;
    }
    if (!(value == oldValue) || !(second == oldSecond))
        pattern->SetValue(value, second);
    return true;
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
