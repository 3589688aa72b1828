#pragma once
// The wide-character string used throughout the system, with the operations of the Windows
// string class that the code relies on. Texts go to and from files as UTF-8.

#include "mfc/CStringFormatArg.h"

#include <compare>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class CString
{
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(const wchar_t* text, int length);
    CString(const std::wstring& text) : m_text(text) {}
    CString(std::wstring&& text) : m_text(std::move(text)) {}
    CString(wchar_t ch, int repeat = 1);
    // Narrow texts are taken as UTF-8.
    explicit CString(const char* utf8);
    explicit CString(const std::string& utf8);

    static CString FromUtf8(const std::string& utf8);
    std::string ToUtf8() const;

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    wchar_t GetAt(int index) const;
    void SetAt(int index, wchar_t ch);
    wchar_t operator[](int index) const { return GetAt(index); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }
    // Storage management: reserve room for at least length characters; the text is unchanged.
    void Preallocate(int length);
    int GetAllocLength() const { return static_cast<int>(m_text.capacity()); }

    CString& operator=(const wchar_t* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);
    void Append(const CString& other) { *this += other; }
    void AppendChar(wchar_t ch) { m_text.push_back(ch); }

    // printf-style formatting with the Windows wide meaning: %s and %S take any text argument
    // (CString, wide or UTF-8 narrow), %c a character, %d %i %u %x %X %o integers of any size,
    // %f %e %g reals; flags, width, precision and '*' are honoured, length modifiers ignored.
    template <typename... Args> void Format(const wchar_t* format, const Args&... args)
    {
        m_text = FormatList(format, {CStringFormatArg(args)...});
    }
    template <typename... Args> void AppendFormat(const wchar_t* format, const Args&... args)
    {
        m_text += FormatList(format, {CStringFormatArg(args)...});
    }

    CString& MakeLower();
    CString& MakeUpper();
    CString& MakeReverse();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(wchar_t ch);
    CString& TrimLeft(const wchar_t* chars);
    CString& TrimRight(const wchar_t* chars);

    // Index of the first occurrence at or after start, or -1.
    int Find(const wchar_t* sub, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(const wchar_t* chars) const;
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Replace(wchar_t oldCh, wchar_t newCh);
    int Insert(int index, const wchar_t* text);
    // Inserts the whole text, embedded null characters included.
    int Insert(int index, const CString& text);
    int Delete(int index, int count = 1);

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_text == (b ? b : L""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b)
    {
        return a.m_text <=> b.m_text;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const wchar_t* b) { return a += b; }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(CString a, wchar_t b) { return a += b; }

private:
    static std::wstring FormatList(const wchar_t* format,
                                   std::initializer_list<CStringFormatArg> args);

    std::wstring m_text;
};

template <> struct std::hash<CString>
{
    std::size_t operator()(const CString& s) const noexcept
    {
        return std::hash<std::wstring>()(s.Str());
    }
};
