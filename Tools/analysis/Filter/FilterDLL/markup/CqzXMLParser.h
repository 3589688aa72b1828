#pragma once
// One markup document held in memory as text, with an index of its elements by character offset
// and a current position (parent, main and child element). The parser navigates by element name,
// reads and writes attributes and adds elements by splicing text into the document; the text is
// the single source of truth and every edit keeps the index in step with it.
//
// Small by design: one root element, the five predefined entities, no character references, no
// namespaces, no validation. Whoever creates a parser owns it; copying copies the whole document
// and position. Not thread-safe: a parser belongs to one caller at a time.

#include "mfc/CString.h"

#include <cstdint>
#include <memory>

// A parser position: indices of the parent, main and child elements (0: none).
struct SqzXMLParserPos
{
    int parent = 0;
    int main = 0;
    int child = 0;

    friend bool operator==(const SqzXMLParserPos&, const SqzXMLParserPos&) = default;
};

class CqzXMLParser
{
public:
    CqzXMLParser();
    explicit CqzXMLParser(const CString& text);
    CqzXMLParser(const CqzXMLParser& other);
    CqzXMLParser& operator=(const CqzXMLParser& other);
    ~CqzXMLParser();

    // Document. SetDocument replaces the text and resets the position; it answers false for an
    // empty text or a parse error, and after an error the document is empty and GetParseError
    // tells why. Files are UTF-8 without byte-order mark; a file that cannot be opened, read or
    // written gives false and an error text, and LoadFile then leaves the document as it was.
    bool SetDocument(const CString& text);
    const CString& GetDocument() const;
    bool HasRoot() const;
    const CString& GetParseError() const;
    bool LoadFile(const CString& path);
    bool SaveFile(const CString& path);

    // Position, for callers that save and restore it. SetPosition refuses (false, no change) a
    // position that does not describe a parent, main and child chain of the current document.
    SqzXMLParserPos GetPosition() const;
    bool SetPosition(const SqzXMLParserPos& position);

    // Navigation. A path is a list of names separated by "/"; "*" stands for any name, a leading
    // "/" searches from the root element (so "/a" is the root element when it is named a), and
    // an absent or empty path matches the next element whatever its name. Only the first
    // element that matches a step is descended into.
    bool FindNext(const wchar_t* path = nullptr);
    bool FindNextChild(const wchar_t* path = nullptr);
    bool Descend();
    bool Ascend();
    void ClearChild();

    // Adding elements. Without a value the element is written empty ("<name/>"); with a value
    // (even an empty one) it gets a start and an end tag around the value. Names must read back
    // as one token: not empty, no whitespace, none of < > = \ / ? ! and no quotes; other names
    // are refused.
    bool AppendElement(const CString& name);
    bool AppendElement(const CString& name, const CString& value);
    bool AppendChild(const CString& name);
    bool AppendChild(const CString& name, const CString& value);
    bool InsertChild(const CString& name);
    bool InsertChild(const CString& name, const CString& value);

    // Names and contents. A value is the text between the start and end tags, entities decoded
    // (including the markup of any child elements); empty for an empty element.
    CString GetTag() const;
    CString GetChildTag() const;
    CString GetValue() const;
    CString GetChildValue() const;

    // Attributes of the main element. bool is written "T" or "F", integers in decimal.
    bool SetAttribute(const CString& name, bool value);
    bool SetAttribute(const CString& name, std::int32_t value);
    bool SetAttribute(const CString& name, std::uint32_t value);
    bool SetAttribute(const CString& name, std::int64_t value);
    bool SetAttribute(const CString& name, std::uint64_t value);
    bool SetAttribute(const CString& name, const wchar_t* value);
    bool SetAttribute(const CString& name, const CString& value);
    // Value with entities decoded; empty when the attribute is absent or not quoted.
    CString GetAttribute(const CString& name) const;
    // Typed reads answer whether the attribute exists. bool is true exactly for "T"; integers
    // are read in decimal (leading digits; saturated to the type's range).
    bool GetAttribute(const CString& name, bool& value) const;
    bool GetAttribute(const CString& name, std::int32_t& value) const;
    bool GetAttribute(const CString& name, std::uint32_t& value) const;
    bool GetAttribute(const CString& name, std::int64_t& value) const;
    bool GetAttribute(const CString& name, std::uint64_t& value) const;

    // The same for the child element.
    bool SetChildAttribute(const CString& name, bool value);
    bool SetChildAttribute(const CString& name, std::int32_t value);
    bool SetChildAttribute(const CString& name, std::uint32_t value);
    bool SetChildAttribute(const CString& name, std::int64_t value);
    bool SetChildAttribute(const CString& name, std::uint64_t value);
    bool SetChildAttribute(const CString& name, const wchar_t* value);
    bool SetChildAttribute(const CString& name, const CString& value);
    CString GetChildAttribute(const CString& name) const;
    bool GetChildAttribute(const CString& name, bool& value) const;
    bool GetChildAttribute(const CString& name, std::int32_t& value) const;
    bool GetChildAttribute(const CString& name, std::uint32_t& value) const;
    bool GetChildAttribute(const CString& name, std::int64_t& value) const;
    bool GetChildAttribute(const CString& name, std::uint64_t& value) const;

    // The text characters and index records that this parser's edits have moved or visited: a
    // measure of their cost, for tests and benchmarks. An edit costs about the length of the
    // text after it, so appending n elements at the end costs O(n) in all.
    std::uint64_t GetEditWork() const;

private:
    struct SqzImp;

    bool AddSibling(const CString& name, const CString* value);
    bool AddChild(const CString& name, const CString* value, bool before);
    int AddElement(int parent, int reference, bool before, const CString& name,
                   const CString* value);
    int OpenEmptyParent(int parent, const CString& text);
    int InsertionPoint(int parent, int neighbour, bool before) const;
    bool Splice(int pos, int removed, const CString& text, int anchor);
    bool SetAttributeOf(int element, const CString& name, const CString& value);
    bool FindAttribute(int element, const CString& name, int& start, int& end) const;
    bool ReadAttribute(int element, const CString& name, CString& value) const;
    template <typename T> bool ReadNumber(int element, const CString& name, T& value) const;
    int Lookup(int parent, int current, const wchar_t* path) const;
    CString NameOf(int element) const;
    CString ValueOf(int element) const;

    std::unique_ptr<SqzImp> m_imp;
};
