#include "CqzDecodeFields.h"

#include <algorithm>
#include <charconv>

namespace
{
bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::optional<std::uint64_t> Digits(std::string_view word, int base)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}
} // namespace

CqzDecodeFields::CqzDecodeFields(const std::vector<std::string>& classes, const std::string& format)
    : m_format(format), m_fieldOfClass(classes.size(), -1), m_rwOfClass(classes.size(), -1)
{
    for (std::size_t c = 0; c < classes.size(); ++c)
    {
        const std::string& name = classes[c];
        const int klass = static_cast<int>(c);
        if (name == "start")
            m_startClass = klass;
        else if (name == "repeat-start")
            m_repeatClass = klass;
        else if (name == "stop")
            m_stopClass = klass;
        if (EndsWith(name, "-data"))
            m_fieldOfClass[c] = AddField(name.substr(0, name.size() - 5));
        for (const auto& [suffix, rw] : {std::pair{std::string("-read"), 1}, {"-write", 0}})
            if (EndsWith(name, suffix))
            {
                m_fieldOfClass[c] = AddField(name.substr(0, name.size() - suffix.size()));
                m_rwOfClass[c] = rw;
                m_rw = AddField("rw");
            }
    }
    const auto address = std::find(m_names.begin(), m_names.end(), "address");
    m_address = address == m_names.end() ? -1 : static_cast<int>(address - m_names.begin());
}

int CqzDecodeFields::AddField(const std::string& name)
{
    const auto it = std::find(m_names.begin(), m_names.end(), name);
    if (it != m_names.end())
        return static_cast<int>(it - m_names.begin());
    m_names.push_back(name);
    return static_cast<int>(m_names.size()) - 1;
}

std::optional<std::uint64_t> CqzDecodeFields::ParseNumber(const std::string& text,
                                                          const std::string& format)
{
    const std::size_t cut = text.find_last_of(": ");
    const std::string_view word =
        cut == std::string::npos ? std::string_view(text) : std::string_view(text).substr(cut + 1);
    if (format == "ascii")
    {
        if (word.size() == 1)
            return static_cast<unsigned char>(word[0]);
        if (word.size() > 2 && word.front() == '[' && word.back() == ']')
            return Digits(word.substr(1, word.size() - 2), 16);
        return std::nullopt;
    }
    const int base = format == "dec" ? 10 : format == "oct" ? 8 : format == "bin" ? 2 : 16;
    return Digits(word, base);
}

std::vector<std::vector<std::optional<std::uint64_t>>>
CqzDecodeFields::Read(const std::vector<const SqzAnnotation*>& rows) const
{
    std::vector<std::vector<std::optional<std::uint64_t>>> values(
        rows.size(), std::vector<std::optional<std::uint64_t>>(m_names.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
    {
        const auto klass = static_cast<std::size_t>(rows[r]->annotationClass);
        if (klass >= m_fieldOfClass.size() || m_fieldOfClass[klass] < 0)
            continue;
        values[r][static_cast<std::size_t>(m_fieldOfClass[klass])] =
            ParseNumber(rows[r]->text, m_format);
        if (m_rwOfClass[klass] >= 0)
            values[r][static_cast<std::size_t>(m_rw)] =
                static_cast<std::uint64_t>(m_rwOfClass[klass]);
    }
    if (m_address >= 0 && m_startClass >= 0 && m_stopClass >= 0)
        CarryTransfers(rows, values);
    return values;
}

void CqzDecodeFields::CarryTransfers(
    const std::vector<const SqzAnnotation*>& rows,
    std::vector<std::vector<std::optional<std::uint64_t>>>& values) const
{
    const auto address = static_cast<std::size_t>(m_address);
    const auto rw = static_cast<std::size_t>(m_rw);
    std::size_t r = 0;
    while (r < rows.size())
    {
        const int klass = rows[r]->annotationClass;
        if (klass != m_startClass && klass != m_repeatClass)
        {
            ++r;
            continue;
        }
        // The transfer: to the stop, or to the row before the next (repeated) start.
        std::size_t end = r + 1;
        while (end < rows.size() && rows[end]->annotationClass != m_startClass &&
               rows[end]->annotationClass != m_repeatClass &&
               rows[end - 1]->annotationClass != m_stopClass)
            ++end;
        const auto named = std::find_if(values.begin() + static_cast<std::ptrdiff_t>(r),
                                        values.begin() + static_cast<std::ptrdiff_t>(end),
                                        [&](const auto& row) { return row[address].has_value(); });
        if (named != values.begin() + static_cast<std::ptrdiff_t>(end))
        {
            const std::vector<std::optional<std::uint64_t>> transfer = *named;
            for (std::size_t i = r; i < end; ++i)
            {
                values[i][address] = transfer[address];
                if (!values[i][rw])
                    values[i][rw] = transfer[rw];
            }
        }
        r = end;
    }
}
