#include "markup/CqzXMLIndexBuilder.h"

#include <vector>

CqzXMLIndexBuilder::CqzXMLIndexBuilder(std::wstring_view text, CqzXMLIndex& index, CString& error)
    : m_text(text), m_length(static_cast<int>(text.size())), m_index(index), m_error(error)
{
}

int CqzXMLIndexBuilder::Run()
{
    m_error.Empty();
    const int root = Elements();
    // An end tag where the root element should start: not one of the parse's own texts, because
    // the parse of a single element only meets it at the document level.
    if (root == 0)
        Fail(L"Root element not found");
    return root > 0 ? root : 0;
}

// Reads one element under record 0 with all its descendants. The nesting is kept in a list of
// open elements rather than on the call stack, so any depth of nesting can be read.
int CqzXMLIndexBuilder::Elements()
{
    std::vector<int> open; // elements whose start tag was read and whose children are being read
    int parent = 0;
    for (;;)
    {
        int result = StartElement(parent);
        if (result < 0)
            return -1;
        if (result > 0 && !m_index.IsEmptyElement(result))
        {
            open.push_back(result);
            parent = result;
            continue;
        }
        // A complete element joins the innermost open element; an end tag (0) closes it.
        while (!open.empty())
        {
            const int top = open.back();
            if (result > 0)
            {
                m_index.Link(result, m_index[top].lastChild);
                m_index[top].endLeft = m_index[result].endRight + 1;
                break;
            }
            if (!EndElement(top))
                return -1;
            result = top;
            open.pop_back();
        }
        if (open.empty())
            return result;
        parent = open.back();
    }
}

// Reads up to the next start tag under parent, skipping comments, processing instructions,
// CDATA sections and declarations. Answers the new record, 0 for an end tag, -1 on error.
int CqzXMLIndexBuilder::StartElement(int parent)
{
    const int record = m_index.NewRecord(parent);
    int scan = m_index[parent].endLeft;
    for (;;)
    {
        const int left = Find(L'<', scan);
        if (left < 0)
            return Fail(L"Element tag not found");
        m_index[record].startLeft = left;
        m_index[parent].endLeft = left;
        const int pos = CqzXMLText::SkipWhitespace(m_text, left + 1, m_length);
        if (pos >= m_length)
            return Fail(L"Abrupt end within tag");
        SqzXMLToken token;
        CqzXMLText::NextToken(m_text, pos, m_length, token);
        if (token.quoted)
            return Fail(L"Tag starts with quote");
        const wchar_t first = m_text[static_cast<std::size_t>(pos)];
        if (first == L'?' || first == L'!')
        {
            scan = SkipNode(pos);
            if (scan < 0)
                return Fail(L"Invalid node");
            continue;
        }
        if (first == L'/')
        {
            m_index.GiveBack();
            return 0;
        }
        const int right = Find(L'>', pos);
        if (right < 0)
            return Fail(L"End of tag not found");
        SqzXMLElement& element = m_index[record];
        element.startRight = right;
        const bool empty = m_text[static_cast<std::size_t>(right - 1)] == L'/';
        element.endLeft = empty ? right - 1 : right + 1;
        element.endRight = empty ? right : 0;
        return record;
    }
}

// pos is the "?" or "!" after "<"; answers the offset after the node, or -1 when the node is
// not terminated.
int CqzXMLIndexBuilder::SkipNode(int pos) const
{
    if (pos + 1 >= m_length)
        return -1;
    const wchar_t second = m_text[static_cast<std::size_t>(pos + 1)];
    std::wstring_view terminator;
    if (m_text[static_cast<std::size_t>(pos)] == L'?')
        terminator = L"?>";
    else if (second == L'[')
        terminator = L"]]>";
    else if (second == L'-')
        terminator = L"-->";
    else
        return SkipDeclaration(pos + 1);
    const int end =
        Find(terminator, m_text[static_cast<std::size_t>(pos)] == L'?' ? pos + 1 : pos + 2);
    return end < 0 ? -1 : end + static_cast<int>(terminator.size());
}

// A declaration ends at the first ">" outside square brackets; quoted text is passed over.
int CqzXMLIndexBuilder::SkipDeclaration(int pos) const
{
    int depth = 0;
    SqzXMLToken token;
    while (CqzXMLText::NextToken(m_text, pos, m_length, token))
    {
        pos = token.next;
        if (token.quoted)
            continue;
        if (depth == 0 && CqzXMLText::IsSymbol(m_text, token, L'>'))
            return token.next;
        for (wchar_t c : m_text.substr(static_cast<std::size_t>(token.start),
                                       static_cast<std::size_t>(token.length)))
            depth = c == L'[' ? depth + 1 : c == L']' && depth > 0 ? depth - 1 : depth;
    }
    return -1;
}

// Reads the end tag after the element's children; end left is where the search starts.
bool CqzXMLIndexBuilder::EndElement(int record)
{
    const int left = Find(L'<', m_index[record].endLeft);
    if (left < 0)
        return FailEnd(L"End tag of %s element not found", record);
    m_index[record].endLeft = left;
    const std::wstring_view name = m_index.Name(m_text, record);
    int pos = left + 1;
    int count = 0;
    SqzXMLToken token;
    while (CqzXMLText::NextToken(m_text, pos, m_length, token))
    {
        pos = token.next;
        if (CqzXMLText::IsSymbol(m_text, token, L'>'))
        {
            if (count < 2)
                break;
            m_index[record].endRight = token.start;
            return true;
        }
        ++count;
        if (count == 1 && !CqzXMLText::IsSymbol(m_text, token, L'/'))
            return FailEnd(L"Expecting end tag of element %s", record);
        if (count == 2 && !CqzXMLText::MatchName(m_text, token, name))
            return FailEnd(L"End tag does not correspond to %s", record);
    }
    return FailEnd(L"End tag not completed for element %s", record);
}

int CqzXMLIndexBuilder::Find(wchar_t c, int from) const
{
    const std::size_t found = m_text.find(c, static_cast<std::size_t>(from));
    return found == std::wstring_view::npos ? -1 : static_cast<int>(found);
}

int CqzXMLIndexBuilder::Find(std::wstring_view s, int from) const
{
    const std::size_t found = m_text.find(s, static_cast<std::size_t>(from));
    return found == std::wstring_view::npos ? -1 : static_cast<int>(found);
}

// Records the error text, with the element's name for "%s"; answers -1.
int CqzXMLIndexBuilder::Fail(const wchar_t* text, int record)
{
    if (record == 0)
        m_error = text;
    else
        m_error.Format(text, CString(std::wstring(m_index.Name(m_text, record))));
    return -1;
}

bool CqzXMLIndexBuilder::FailEnd(const wchar_t* text, int record)
{
    Fail(text, record);
    return false;
}
