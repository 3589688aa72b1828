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
        m_records[0].firstChild = root;
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

void CqzXMLIndex::Shift(int from, int delta)
{
    for (int i = 1; i < m_free; ++i)
        for (int* offset : {&(*this)[i].startLeft, &(*this)[i].startRight, &(*this)[i].endLeft,
                            &(*this)[i].endRight})
            if (*offset >= from)
                *offset += delta;
}

int CqzXMLIndex::LastChild(int parent) const
{
    int last = (*this)[parent].firstChild;
    while (last != 0 && (*this)[last].nextSibling != 0)
        last = (*this)[last].nextSibling;
    return last;
}

int CqzXMLIndex::PreviousSibling(int child) const
{
    int previous = 0;
    for (int i = (*this)[(*this)[child].parent].firstChild; i != 0 && i != child;
         i = (*this)[i].nextSibling)
        previous = i;
    return previous;
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
