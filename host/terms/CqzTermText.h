#pragma once
// Small text helpers of the term reader: conversions between the command line's UTF-8 and the
// wide texts of the host, case-blind comparison of words, and the edit distance used to
// suggest label names.

#include <string>

class CqzTermText
{
public:
    static std::string Narrow(const std::wstring& text);
    static std::wstring Widen(const std::string& utf8);
    // ASCII letters compared without case.
    static bool EqualNoCase(const std::wstring& a, const std::wstring& b);
    // Levenshtein distance, letters compared without case.
    static std::size_t Distance(const std::wstring& a, const std::wstring& b);
};
