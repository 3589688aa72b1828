#include "CqzTermText.h"

#include "mfc/CString.h"

#include <algorithm>
#include <cwctype>
#include <vector>

std::string CqzTermText::Narrow(const std::wstring& text)
{
    return CString(text).ToUtf8();
}

std::wstring CqzTermText::Widen(const std::string& utf8)
{
    return CString::FromUtf8(utf8).Str();
}

bool CqzTermText::EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) {
                                                  return std::towlower(static_cast<wint_t>(x)) ==
                                                         std::towlower(static_cast<wint_t>(y));
                                              });
}

std::size_t CqzTermText::Distance(const std::wstring& a, const std::wstring& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
    {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
        {
            const bool same = std::towlower(static_cast<wint_t>(a[i - 1])) ==
                              std::towlower(static_cast<wint_t>(b[j - 1]));
            const std::size_t next =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}
