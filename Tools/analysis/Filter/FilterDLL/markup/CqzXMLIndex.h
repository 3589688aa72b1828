#pragma once
// The element index of a markup document: one record per element with character offsets into
// the document text and the links of the element tree. Record 0 stands for the document: its
// first (and last) child is the root element. Owned by CqzXMLParser; used only inside the markup
// library. Records are linked in document order but not necessarily numbered in it: an element
// added by an edit takes the next free record wherever its text goes.

#include "markup/CqzXMLText.h"
#include "mfc/CString.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct SqzXMLElement
{
    int startLeft = 0;       // "<" that opens the start tag
    int startRight = 0;      // ">" that closes the start tag
    int endLeft = 0;         // "<" of the end tag; the "/" of an empty element
    int endRight = 0;        // ">" of the end tag; start right for an empty element
    int reserved = 0;        // always 0
    int parent = 0;          // 0 for the root element
    int firstChild = 0;      // 0 if none
    int nextSibling = 0;     // 0 if none
    int lastChild = 0;       // 0 if none
    int previousSibling = 0; // 0 if none
};

class CqzXMLIndex
{
public:
    CqzXMLIndex() { Reset(0); }

    // Empties the index (record 0 zeroed, next free record 1) and makes room for a text of
    // textLength characters: one record per 64 characters plus 8.
    void Reset(int textLength);
    // Indexes the text. On failure answers false with the reason in error and leaves the index
    // empty.
    bool Parse(std::wstring_view text, CString& error);

    int Root() const { return m_records[0].firstChild; }
    // True for 0 (the document) and for every record in use.
    bool Contains(int index) const { return index >= 0 && index < m_free; }
    SqzXMLElement& operator[](int index) { return m_records[static_cast<std::size_t>(index)]; }
    const SqzXMLElement& operator[](int index) const
    {
        return m_records[static_cast<std::size_t>(index)];
    }
    bool IsEmptyElement(int index) const;
    std::size_t Capacity() const { return m_records.size(); }

    // Takes the next free record (the table grows by half when full) under parent.
    int NewRecord(int parent);
    // Gives back the record taken last.
    void GiveBack() { --m_free; }
    // Links the record added into its parent's children after previous (first when 0).
    void Link(int added, int previous);
    // Every offset at or after from moves by delta. The anchor is an element that starts at or
    // before from such that every element before it in the document, other than its ancestors,
    // ends before from (0: the whole document). Only the anchor with its descendants, its
    // ancestors and the elements after it are visited, so an edit near the end costs little.
    void Shift(int from, int delta, int anchor);
    // The records that Shift visited since the index was made: a measure of the edits' cost.
    std::uint64_t GetVisitCount() const { return m_visits; }
    // The name token after the "<" of the element's start tag.
    SqzXMLToken NameToken(std::wstring_view text, int index) const;
    std::wstring_view Name(std::wstring_view text, int index) const;

private:
    void ShiftTree(int top, int from, int delta);
    bool ShiftRecord(int index, int from, int delta);

    std::vector<SqzXMLElement> m_records;
    int m_free = 1;
    std::uint64_t m_visits = 0;
};
