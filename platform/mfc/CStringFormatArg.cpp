#include "mfc/CStringFormatArg.h"

#include "mfc/CString.h"

#include <cwchar>

CStringFormatArg::CStringFormatArg(const wchar_t* text)
    : m_kind(Kind::Text), m_text(text ? text : L"(null)")
{
}

CStringFormatArg::CStringFormatArg(const char* text)
    : m_kind(Kind::Text), m_text(text ? CString::FromUtf8(text).Str() : L"(null)")
{
}

CStringFormatArg::CStringFormatArg(const CString& text) : m_kind(Kind::Text), m_text(text.Str())
{
}

std::int64_t CStringFormatArg::AsSigned() const
{
    switch (m_kind)
    {
    case Kind::Signed:
        return m_signed;
    case Kind::Real:
        return static_cast<std::int64_t>(m_real);
    default:
        return static_cast<std::int64_t>(m_unsigned);
    }
}

std::uint64_t CStringFormatArg::AsUnsigned() const
{
    switch (m_kind)
    {
    case Kind::Signed:
        return static_cast<std::uint64_t>(m_signed);
    case Kind::Real:
        return static_cast<std::uint64_t>(m_real);
    default:
        return m_unsigned;
    }
}

double CStringFormatArg::AsReal() const
{
    switch (m_kind)
    {
    case Kind::Real:
        return m_real;
    case Kind::Signed:
        return static_cast<double>(m_signed);
    default:
        return static_cast<double>(m_unsigned);
    }
}

std::wstring CStringFormatArg::AsText() const
{
    if (m_kind == Kind::Text)
        return m_text;
    if (m_kind == Kind::Signed)
        return std::to_wstring(m_signed);
    if (m_kind == Kind::Real)
        return std::to_wstring(m_real);
    return std::to_wstring(m_unsigned);
}
