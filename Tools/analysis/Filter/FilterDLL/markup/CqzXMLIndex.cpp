#include "markup/CqzXMLIndex.h"

#include "markup/CqzXMLIndexBuilder.h"

#include <algorithm>

void CqzXMLIndex::Reset(int textLength)
{
    const std::size_t wanted = static_cast<std::size_t>(std::max(textLength, 0) / 64 + 8);
    m_records.resize(std::max(m_records.size(), wanted));
    m_records[0] = SqzXMLElement{};
    m_free = 1;
}

bool CqzXMLIndex::Parse(std::wstring_view text, CString& error)
{
    Reset(static_cast<int>(text.size()));
    const int root = CqzXMLIndexBuilder(text, *this, error).Run();
    m_records[0] = SqzXMLElement{};
    if (root > 0)
    {
        m_records[0].firstChild = m_records[0].lastChild = root;
        return true;
    }
    m_free = 1;
    return false;
}

bool CqzXMLIndex::IsEmptyElement(int index) const
{
    const SqzXMLElement& e = (*this)[index];
    return index != 0 && e.endRight == e.startRight;
}

int CqzXMLIndex::NewRecord(int parent)
{
    if (static_cast<std::size_t>(m_free) == m_records.size())
        m_records.resize(m_records.size() + std::max<std::size_t>(m_records.size() / 2, 1));
    const int index = m_free++;
    m_records[static_cast<std::size_t>(index)] = SqzXMLElement{};
    m_records[static_cast<std::size_t>(index)].parent = parent;
    return index;
}

void CqzXMLIndex::Link(int added, int previous)
{
    SqzXMLElement& record = (*this)[added];
    SqzXMLElement& parent = (*this)[record.parent];
    const int next = previous != 0 ? (*this)[previous].nextSibling : parent.firstChild;
    record.previousSibling = previous;
    record.nextSibling = next;
    (previous != 0 ? (*this)[previous].nextSibling : parent.firstChild) = added;
    (next != 0 ? (*this)[next].previousSibling : parent.lastChild) = added;
}

void CqzXMLIndex::Shift(int from, int delta, int anchor)
{
    if (anchor == 0)
        anchor = Root();
    if (anchor == 0)
        return;
    ShiftTree(anchor, from, delta);
    for (int up = anchor; up != 0; up = (*this)[up].parent)
    {
        for (int next = (*this)[up].nextSibling; next != 0; next = (*this)[next].nextSibling)
            ShiftTree(next, from, delta);
        if ((*this)[up].parent != 0)
            ShiftRecord((*this)[up].parent, from, delta);
    }
}

// The element top and its descendants, in document order without a stack: an element that ends
// before from has nothing inside it to move, so its descendants are skipped.
void CqzXMLIndex::ShiftTree(int top, int from, int delta)
{
    int i = top;
    for (;;)
    {
        if (ShiftRecord(i, from, delta) && (*this)[i].firstChild != 0)
        {
            i = (*this)[i].firstChild;
            continue;
        }
        while (i != top && (*this)[i].nextSibling == 0)
            i = (*this)[i].parent;
        if (i == top)
            return;
        i = (*this)[i].nextSibling;
    }
}

// Moves the element's offsets at or after from; false when the element ends before from.
bool CqzXMLIndex::ShiftRecord(int index, int from, int delta)
{
    ++m_visits;
    SqzXMLElement& e = (*this)[index];
    if (e.endRight < from)
        return false;
    for (int* offset : {&e.startLeft, &e.startRight, &e.endLeft, &e.endRight})
        if (*offset >= from)
            *offset += delta;
    return true;
}

SqzXMLToken CqzXMLIndex::NameToken(std::wstring_view text, int index) const
{
    SqzXMLToken token;
    if (index != 0)
        CqzXMLText::NextToken(text, (*this)[index].startLeft + 1, (*this)[index].startRight + 1,
                              token);
    return token;
}

std::wstring_view CqzXMLIndex::Name(std::wstring_view text, int index) const
{
    const SqzXMLToken token = NameToken(text, index);
    return text.substr(static_cast<std::size_t>(token.start),
                       static_cast<std::size_t>(token.length));
}
