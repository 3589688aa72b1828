#pragma once
// One argument of CString::Format, captured by type so that the formatter never reads a
// variadic argument of the wrong kind.

#include <cstdint>
#include <string>
#include <type_traits>

class CString;

class CStringFormatArg
{
public:
    enum class Kind
    {
        Signed,
        Unsigned,
        Real,
        Text,
        Pointer
    };

    template <typename T>
        requires std::is_integral_v<T>
    CStringFormatArg(T value)
        : m_kind(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned),
          m_signed(static_cast<std::int64_t>(value)), m_unsigned(static_cast<std::uint64_t>(value))
    {
    }
    template <typename T>
        requires std::is_enum_v<T>
    CStringFormatArg(T value) : CStringFormatArg(static_cast<std::underlying_type_t<T>>(value))
    {
    }
    CStringFormatArg(double value) : m_kind(Kind::Real), m_real(value) {}
    CStringFormatArg(float value) : m_kind(Kind::Real), m_real(value) {}
    CStringFormatArg(const wchar_t* text);
    CStringFormatArg(const char* text);
    CStringFormatArg(const CString& text);
    CStringFormatArg(const std::wstring& text) : m_kind(Kind::Text), m_text(text) {}
    CStringFormatArg(const void* pointer)
        : m_kind(Kind::Pointer), m_unsigned(reinterpret_cast<std::uintptr_t>(pointer))
    {
    }

    Kind GetKind() const { return m_kind; }
    std::int64_t AsSigned() const;
    std::uint64_t AsUnsigned() const;
    double AsReal() const;
    std::wstring AsText() const;

private:
    Kind m_kind;
    std::int64_t m_signed = 0;
    std::uint64_t m_unsigned = 0;
    double m_real = 0.0;
    std::wstring m_text;
};
