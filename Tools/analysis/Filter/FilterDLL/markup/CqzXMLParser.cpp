#include "markup/CqzXMLParser.h"

#include "markup/CqzXMLIndex.h"
#include "markup/CqzXMLText.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <type_traits>

// The current node is always the main element: this parser does not navigate to text, comment
// or other non-element nodes, so "main is an element" is simply main != 0.
struct CqzXMLParser::SqzImp
{
    CString document;
    CString error;
    CqzXMLIndex index;
    int parent = 0;
    int main = 0;
    int child = 0;
    std::uint64_t moved = 0; // text characters that edits moved, for GetEditWork
};

namespace
{

// Offsets are 32-bit; edits and files that would take the text past this length are refused so
// that no offset or storage size can overflow.
constexpr int kMaxDocumentLength = std::numeric_limits<int>::max() / 2;

// The text of a new element and the offsets of its tags relative to its "<".
struct SqzNewElement
{
    CString text;
    int startRight;
    int endLeft;
    int endRight;
};

SqzNewElement MakeElement(const CString& name, const CString* value)
{
    const int nameEnd = 1 + name.GetLength();
    if (value == nullptr)
        return {L"<" + name + L"/>\r\n", nameEnd + 1, nameEnd, nameEnd + 1};
    const CString converted = CqzXMLText::ToDocument(value->Str(), false);
    const int endLeft = nameEnd + 1 + converted.GetLength();
    return {L"<" + name + L">" + converted + L"</" + name + L">\r\n", nameEnd, endLeft,
            endLeft + 2 + name.GetLength()};
}

const wchar_t* BoolText(bool value)
{
    return value ? L"T" : L"F";
}

// Leading decimal digits after optional whitespace and sign, saturated to T's range.
template <typename T> T ParseDecimal(std::wstring_view text)
{
    std::size_t i = 0;
    while (i < text.size() && CqzXMLText::IsWhitespace(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        ++i;
    constexpr std::uint64_t cap = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    {
        const auto digit = static_cast<std::uint64_t>(text[i] - L'0');
        magnitude = magnitude > (cap - digit) / 10 ? cap : magnitude * 10 + digit;
    }
    if constexpr (std::is_signed_v<T>)
    {
        const auto largest = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
        if (negative)
            return magnitude > largest ? std::numeric_limits<T>::min()
                                       : static_cast<T>(-static_cast<std::int64_t>(magnitude));
        return static_cast<T>(std::min(magnitude, largest));
    }
    else
    {
        if (negative)
            return 0;
        return static_cast<T>(
            std::min(magnitude, static_cast<std::uint64_t>(std::numeric_limits<T>::max())));
    }
}

struct SqzFileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using SqzFile = std::unique_ptr<std::FILE, SqzFileCloser>;

} // namespace

CqzXMLParser::CqzXMLParser() : m_imp(std::make_unique<SqzImp>())
{
    SetDocument(CString());
}

CqzXMLParser::CqzXMLParser(const CString& text) : m_imp(std::make_unique<SqzImp>())
{
    SetDocument(text);
}

CqzXMLParser::CqzXMLParser(const CqzXMLParser& other)
    : m_imp(std::make_unique<SqzImp>(*other.m_imp))
{
}

CqzXMLParser& CqzXMLParser::operator=(const CqzXMLParser& other)
{
    if (this != &other)
        *m_imp = *other.m_imp;
    return *this;
}

CqzXMLParser::~CqzXMLParser() = default;

// ---------------------------------------------------------------------------------------------
// Document

bool CqzXMLParser::SetDocument(const CString& text)
{
    SqzImp& imp = *m_imp;
    imp.parent = imp.main = imp.child = 0;
    imp.error.Empty();
    imp.document = text;
    imp.index.Reset(text.GetLength());
    if (!text.IsEmpty() && imp.index.Parse(imp.document.Str(), imp.error))
        return true;
    // A document that does not parse is not kept half-indexed: it becomes empty, and the
    // reason stays in the error text.
    imp.document.Empty();
    imp.index.Reset(0);
    return false;
}

const CString& CqzXMLParser::GetDocument() const
{
    return m_imp->document;
}

bool CqzXMLParser::HasRoot() const
{
    return m_imp->index.Root() != 0;
}

const CString& CqzXMLParser::GetParseError() const
{
    return m_imp->error;
}

bool CqzXMLParser::LoadFile(const CString& path)
{
    SqzFile file(std::fopen(path.ToUtf8().c_str(), "rb"));
    if (!file)
    {
        m_imp->error.Format(L"Unable to open file %s", path);
        return false;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t count = 0;
    while (bytes.size() <= static_cast<std::size_t>(kMaxDocumentLength) &&
           (count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, count);
    if (std::ferror(file.get()))
    {
        m_imp->error.Format(L"Unable to read file %s", path);
        return false;
    }
    if (bytes.size() > static_cast<std::size_t>(kMaxDocumentLength))
    {
        m_imp->error.Format(L"File %s is too large", path);
        return false;
    }
    return SetDocument(CString::FromUtf8(bytes));
}

bool CqzXMLParser::SaveFile(const CString& path)
{
    const std::string bytes = m_imp->document.ToUtf8();
    std::FILE* file = std::fopen(path.ToUtf8().c_str(), "wb");
    if (file == nullptr)
    {
        m_imp->error.Format(L"Unable to create file %s", path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written)
    {
        m_imp->error.Format(L"Unable to write file %s", path);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Position and navigation

SqzXMLParserPos CqzXMLParser::GetPosition() const
{
    return {m_imp->parent, m_imp->main, m_imp->child};
}

bool CqzXMLParser::SetPosition(const SqzXMLParserPos& position)
{
    const CqzXMLIndex& index = m_imp->index;
    if (!index.Contains(position.parent) || !index.Contains(position.main) ||
        !index.Contains(position.child))
        return false;
    const bool mainFits = position.main == 0 ? position.child == 0 || position.parent == 0
                                             : index[position.main].parent == position.parent;
    const bool childFits = position.child == 0 || index[position.child].parent == position.main;
    if (!mainFits || !childFits)
        return false;
    m_imp->parent = position.parent;
    m_imp->main = position.main;
    m_imp->child = position.child;
    return true;
}

bool CqzXMLParser::FindNext(const wchar_t* path)
{
    SqzImp& imp = *m_imp;
    const int found = Lookup(imp.parent, imp.main, path);
    if (found == 0)
        return false;
    imp.parent = imp.index[found].parent;
    imp.main = found;
    imp.child = 0;
    return true;
}

bool CqzXMLParser::FindNextChild(const wchar_t* path)
{
    SqzImp& imp = *m_imp;
    if (imp.main == 0)
    {
        imp.main = imp.index[imp.parent].firstChild;
        imp.child = 0;
        if (imp.main == 0)
            return false;
    }
    const int found = Lookup(imp.main, imp.child, path);
    if (found == 0)
        return false;
    imp.child = found;
    imp.main = imp.index[found].parent;
    imp.parent = imp.index[imp.main].parent;
    return true;
}

// Searches the children of parent after current (from the first child when current is 0).
int CqzXMLParser::Lookup(int parent, int current, const wchar_t* path) const
{
    const CqzXMLIndex& index = m_imp->index;
    const std::wstring_view text = m_imp->document.Str();
    std::wstring_view rest = path ? path : L"";
    if (rest.starts_with(L'/'))
    {
        parent = current = 0;
        rest.remove_prefix(1);
    }
    int candidate = current != 0 ? index[current].nextSibling : index[parent].firstChild;
    while (candidate != 0 && !rest.empty())
    {
        std::size_t matched = 0;
        if (rest.front() == L'*')
            matched = 1;
        else if (const SqzXMLToken name = index.NameToken(text, candidate);
                 CqzXMLText::MatchName(text, name, rest))
            matched = static_cast<std::size_t>(name.length);
        if (matched == 0)
        {
            candidate = index[candidate].nextSibling;
            continue;
        }
        if (matched == rest.size() || rest[matched] != L'/')
            return candidate;
        rest.remove_prefix(matched + 1);
        candidate = index[candidate].firstChild;
    }
    return candidate;
}

bool CqzXMLParser::Descend()
{
    SqzImp& imp = *m_imp;
    if (imp.main == 0)
        return false;
    imp.parent = imp.main;
    imp.main = imp.child;
    imp.child = 0;
    return true;
}

bool CqzXMLParser::Ascend()
{
    SqzImp& imp = *m_imp;
    if (imp.parent == 0)
        return false;
    imp.child = imp.main;
    imp.main = imp.parent;
    imp.parent = imp.index[imp.main].parent;
    return true;
}

void CqzXMLParser::ClearChild()
{
    m_imp->child = 0;
}

// ---------------------------------------------------------------------------------------------
// Adding elements

bool CqzXMLParser::AppendElement(const CString& name)
{
    return AddSibling(name, nullptr);
}

bool CqzXMLParser::AppendElement(const CString& name, const CString& value)
{
    return AddSibling(name, &value);
}

bool CqzXMLParser::AppendChild(const CString& name)
{
    return AddChild(name, nullptr, false);
}

bool CqzXMLParser::AppendChild(const CString& name, const CString& value)
{
    return AddChild(name, &value, false);
}

bool CqzXMLParser::InsertChild(const CString& name)
{
    return AddChild(name, nullptr, true);
}

bool CqzXMLParser::InsertChild(const CString& name, const CString& value)
{
    return AddChild(name, &value, true);
}

// There is only one root element: at the document level an element is added only while the
// document has none.
bool CqzXMLParser::AddSibling(const CString& name, const CString* value)
{
    SqzImp& imp = *m_imp;
    if (imp.parent == 0 && HasRoot())
        return false;
    const int added = AddElement(imp.parent, imp.main, false, name, value);
    if (added == 0)
        return false;
    imp.main = added;
    imp.child = 0;
    return true;
}

bool CqzXMLParser::AddChild(const CString& name, const CString* value, bool before)
{
    SqzImp& imp = *m_imp;
    const int added = imp.main == 0 ? 0 : AddElement(imp.main, imp.child, before, name, value);
    if (added == 0)
        return false;
    imp.child = added;
    return true;
}

// Writes a new element under parent (0: as root element) after the reference element, or
// before it when before is set, and links it in. Answers its record, 0 when refused.
int CqzXMLParser::AddElement(int parent, int reference, bool before, const CString& name,
                             const CString* value)
{
    if (!CqzXMLText::IsValidName(name.Str()))
        return 0;
    const SqzNewElement element = MakeElement(name, value);
    CqzXMLIndex& index = m_imp->index;
    // The sibling the new element goes next to: the reference, else the first or last child.
    const int neighbour =
        reference != 0 ? reference : (before ? index[parent].firstChild : index[parent].lastChild);
    int pos = -1;
    if (parent != 0 && index.IsEmptyElement(parent))
        pos = OpenEmptyParent(parent, element.text);
    else
    {
        const int at =
            parent == 0 ? m_imp->document.GetLength() : InsertionPoint(parent, neighbour, before);
        pos = Splice(at, 0, element.text, neighbour != 0 ? neighbour : parent) ? at : -1;
    }
    if (pos < 0)
        return 0;

    const int added = index.NewRecord(parent);
    SqzXMLElement& record = index[added];
    record.startLeft = pos;
    record.startRight = pos + element.startRight;
    record.endLeft = pos + element.endLeft;
    record.endRight = pos + element.endRight;
    index.Link(added, before ? (neighbour != 0 ? index[neighbour].previousSibling : 0) : neighbour);
    return added;
}

// Where a new element's text goes under a parent that already has a start and an end tag: after
// the neighbour and the line break that follows it, before the neighbour, or, without children,
// just before the parent's end tag.
int CqzXMLParser::InsertionPoint(int parent, int neighbour, bool before) const
{
    const CqzXMLIndex& index = m_imp->index;
    const CString& text = m_imp->document;
    if (neighbour == 0)
        return index[parent].endLeft;
    if (before)
        return index[neighbour].startLeft;
    int pos = index[neighbour].endRight + 1;
    if (text.GetAt(pos) == L'\r' && text.GetAt(pos + 1) == L'\n')
        pos += 2;
    else if (text.GetAt(pos) == L'\n')
        ++pos;
    return pos;
}

// Turns the empty parent "<p .../>" into "<p ...>", a line break, the new element's text and
// "</p>". A start tag that ends in "//>" keeps a space before its new ">", which would otherwise
// follow a "/" and read back as empty. Answers the offset of the new element, -1 when refused.
int CqzXMLParser::OpenEmptyParent(int parent, const CString& text)
{
    CqzXMLIndex& index = m_imp->index;
    const int slash = index[parent].endLeft;
    const CString opening = m_imp->document.GetAt(slash - 1) == L'/' ? L" >\r\n" : L">\r\n";
    if (!Splice(slash, 1, opening + text + L"</" + NameOf(parent), parent))
        return -1;
    const int added = slash + opening.GetLength();
    index[parent].startRight = added - 3;
    index[parent].endLeft = added + text.GetLength();
    return added;
}

// Replaces removed characters at pos, inside or just after the anchor element (see
// CqzXMLIndex::Shift), by text and moves the offsets of everything after them. The storage
// grows to the largest of 200 characters, the needed length and half as much again, so the cost
// of an edit is that of the text after it.
bool CqzXMLParser::Splice(int pos, int removed, const CString& text, int anchor)
{
    CString& document = m_imp->document;
    const std::int64_t length = std::int64_t{document.GetLength()} - removed + text.GetLength();
    if (length > kMaxDocumentLength)
        return false;
    if (length > document.GetAllocLength())
        document.Preallocate(static_cast<int>(std::min<std::int64_t>(
            kMaxDocumentLength,
            std::max<std::int64_t>(
                {200, length, std::int64_t{document.GetAllocLength()} * 3 / 2}))));
    m_imp->moved += static_cast<std::uint64_t>(document.GetLength() - pos);
    document.Delete(pos, removed);
    document.Insert(pos, text);
    m_imp->index.Shift(pos + removed, text.GetLength() - removed, anchor);
    return true;
}

std::uint64_t CqzXMLParser::GetEditWork() const
{
    return m_imp->moved + m_imp->index.GetVisitCount();
}

// ---------------------------------------------------------------------------------------------
// Names and values

CString CqzXMLParser::NameOf(int element) const
{
    return CString(std::wstring(m_imp->index.Name(m_imp->document.Str(), element)));
}

CString CqzXMLParser::ValueOf(int element) const
{
    const CqzXMLIndex& index = m_imp->index;
    if (element == 0 || index.IsEmptyElement(element))
        return CString();
    const int first = index[element].startRight + 1;
    return CqzXMLText::FromDocument(
        std::wstring_view(m_imp->document.Str())
            .substr(static_cast<std::size_t>(first),
                    static_cast<std::size_t>(index[element].endLeft - first)));
}

CString CqzXMLParser::GetTag() const
{
    return NameOf(m_imp->main);
}

CString CqzXMLParser::GetChildTag() const
{
    return NameOf(m_imp->child);
}

CString CqzXMLParser::GetValue() const
{
    return ValueOf(m_imp->main);
}

CString CqzXMLParser::GetChildValue() const
{
    return ValueOf(m_imp->child);
}

// ---------------------------------------------------------------------------------------------
// Attributes

// Walks the start tag's tokens after the name up to ">" or "/"; an attribute is a name, "=" and
// a quoted value. Answers the range of the value between its quotes.
bool CqzXMLParser::FindAttribute(int element, const CString& name, int& start, int& end) const
{
    const CqzXMLIndex& index = m_imp->index;
    const std::wstring_view text = m_imp->document.Str();
    const int limit = index[element].startRight + 1;
    int pos = index.NameToken(text, element).next;
    SqzXMLToken token, equals, value;
    while (CqzXMLText::NextToken(text, pos, limit, token) && token.closed &&
           !CqzXMLText::IsSymbol(text, token, L'>') && !CqzXMLText::IsSymbol(text, token, L'/'))
    {
        pos = token.next;
        if (token.quoted || !CqzXMLText::MatchName(text, token, name.Str()))
            continue;
        if (!CqzXMLText::NextToken(text, pos, limit, equals) ||
            !CqzXMLText::IsSymbol(text, equals, L'='))
            continue;
        pos = equals.next;
        if (!CqzXMLText::NextToken(text, pos, limit, value) || !value.quoted || !value.closed)
            continue;
        start = value.start;
        end = value.start + value.length;
        return true;
    }
    return false;
}

bool CqzXMLParser::SetAttributeOf(int element, const CString& name, const CString& value)
{
    if (element == 0 || !CqzXMLText::IsValidName(name.Str()))
        return false;
    const CString converted = CqzXMLText::ToDocument(value.Str(), true);
    int start = 0, end = 0;
    if (FindAttribute(element, name, start, end))
        return Splice(start, end - start, converted, element);
    const CqzXMLIndex& index = m_imp->index;
    const int pos =
        index.IsEmptyElement(element) ? index[element].endLeft : index[element].startRight;
    // An element named ">" ("<>") has no room for attributes before the end of its start tag.
    if (index.NameToken(m_imp->document.Str(), element).next > pos)
        return false;
    return Splice(pos, 0, L" " + name + L"='" + converted + L"'", element);
}

bool CqzXMLParser::ReadAttribute(int element, const CString& name, CString& value) const
{
    int start = 0, end = 0;
    if (element == 0 || !FindAttribute(element, name, start, end))
        return false;
    value = CqzXMLText::FromDocument(
        std::wstring_view(m_imp->document.Str())
            .substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
    return true;
}

template <typename T>
bool CqzXMLParser::ReadNumber(int element, const CString& name, T& value) const
{
    CString text;
    if (!ReadAttribute(element, name, text))
        return false;
    value = ParseDecimal<T>(text.Str());
    return true;
}

bool CqzXMLParser::SetAttribute(const CString& name, bool value)
{
    return SetAttributeOf(m_imp->main, name, BoolText(value));
}

bool CqzXMLParser::SetAttribute(const CString& name, std::int32_t value)
{
    return SetAttributeOf(m_imp->main, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetAttribute(const CString& name, std::uint32_t value)
{
    return SetAttributeOf(m_imp->main, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetAttribute(const CString& name, std::int64_t value)
{
    return SetAttributeOf(m_imp->main, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetAttribute(const CString& name, std::uint64_t value)
{
    return SetAttributeOf(m_imp->main, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetAttribute(const CString& name, const wchar_t* value)
{
    return SetAttributeOf(m_imp->main, name, CString(value));
}

bool CqzXMLParser::SetAttribute(const CString& name, const CString& value)
{
    return SetAttributeOf(m_imp->main, name, value);
}

CString CqzXMLParser::GetAttribute(const CString& name) const
{
    CString value;
    ReadAttribute(m_imp->main, name, value);
    return value;
}

bool CqzXMLParser::GetAttribute(const CString& name, bool& value) const
{
    CString text;
    if (!ReadAttribute(m_imp->main, name, text))
        return false;
    value = text == L"T";
    return true;
}

bool CqzXMLParser::GetAttribute(const CString& name, std::int32_t& value) const
{
    return ReadNumber(m_imp->main, name, value);
}

bool CqzXMLParser::GetAttribute(const CString& name, std::uint32_t& value) const
{
    return ReadNumber(m_imp->main, name, value);
}

bool CqzXMLParser::GetAttribute(const CString& name, std::int64_t& value) const
{
    return ReadNumber(m_imp->main, name, value);
}

bool CqzXMLParser::GetAttribute(const CString& name, std::uint64_t& value) const
{
    return ReadNumber(m_imp->main, name, value);
}

bool CqzXMLParser::SetChildAttribute(const CString& name, bool value)
{
    return SetAttributeOf(m_imp->child, name, BoolText(value));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, std::int32_t value)
{
    return SetAttributeOf(m_imp->child, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, std::uint32_t value)
{
    return SetAttributeOf(m_imp->child, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, std::int64_t value)
{
    return SetAttributeOf(m_imp->child, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, std::uint64_t value)
{
    return SetAttributeOf(m_imp->child, name, CString(std::to_wstring(value)));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, const wchar_t* value)
{
    return SetAttributeOf(m_imp->child, name, CString(value));
}

bool CqzXMLParser::SetChildAttribute(const CString& name, const CString& value)
{
    return SetAttributeOf(m_imp->child, name, value);
}

CString CqzXMLParser::GetChildAttribute(const CString& name) const
{
    CString value;
    ReadAttribute(m_imp->child, name, value);
    return value;
}

bool CqzXMLParser::GetChildAttribute(const CString& name, bool& value) const
{
    CString text;
    if (!ReadAttribute(m_imp->child, name, text))
        return false;
    value = text == L"T";
    return true;
}

bool CqzXMLParser::GetChildAttribute(const CString& name, std::int32_t& value) const
{
    return ReadNumber(m_imp->child, name, value);
}

bool CqzXMLParser::GetChildAttribute(const CString& name, std::uint32_t& value) const
{
    return ReadNumber(m_imp->child, name, value);
}

bool CqzXMLParser::GetChildAttribute(const CString& name, std::int64_t& value) const
{
    return ReadNumber(m_imp->child, name, value);
}

bool CqzXMLParser::GetChildAttribute(const CString& name, std::uint64_t& value) const
{
    return ReadNumber(m_imp->child, name, value);
}
