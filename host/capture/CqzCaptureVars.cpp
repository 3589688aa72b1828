#include "capture/CqzCaptureVars.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"

namespace
{
constexpr int kMaxWidth = 128;
// A variable's name is prefixed by its scopes' names, the innermost ones that fit in this many
// bytes ("..." in front when outer ones are left out).
constexpr std::size_t kMaxScopePrefix = 1024;
} // namespace

void CqzCaptureVars::OpenScope(const std::string& name)
{
    const int index = static_cast<int>(m_scopes.size());
    m_scopes.push_back(
        {m_scope, m_scope < 0 ? index : m_scopes[std::size_t(m_scope)].top, name});
    m_scope = index;
}

bool CqzCaptureVars::CloseScope()
{
    if (m_scope < 0)
        return false;
    m_scope = m_scopes[std::size_t(m_scope)].parent;
    return true;
}

int CqzCaptureVars::Add(SqzVar var)
{
    var.scope = m_scope;
    m_vars.push_back(std::move(var));
    return static_cast<int>(m_vars.size()) - 1;
}

std::string CqzCaptureVars::SelectName(std::string_view reference, std::string_view select)
{
    std::string name(reference);
    if (select.find(':') == std::string_view::npos)
        name += select; // a single-bit select names the bit
    return name;
}

// All variables inside one top scope: that scope is left out of the names.
bool CqzCaptureVars::DropTopScope() const
{
    if (m_vars.empty() || m_vars[0].scope < 0)
        return false;
    const std::string& top = TopName(m_vars[0]);
    for (const SqzVar& v : m_vars)
        if (v.scope < 0 || TopName(v) != top)
            return false;
    return true;
}

const std::string& CqzCaptureVars::TopName(const SqzVar& v) const
{
    return m_scopes[std::size_t(m_scopes[std::size_t(v.scope)].top)].name;
}

// "outer.inner." for the variable's scopes, the top one left out when `skip`.
std::string CqzCaptureVars::ScopePrefix(const SqzVar& v, bool skip) const
{
    std::vector<const std::string*> names;
    std::size_t bytes = 0;
    for (int s = v.scope; s >= 0 && (!skip || m_scopes[std::size_t(s)].parent >= 0);
         s = m_scopes[std::size_t(s)].parent)
    {
        const std::string& name = m_scopes[std::size_t(s)].name;
        if (bytes + name.size() + 1 > kMaxScopePrefix)
        {
            names.push_back(nullptr);
            break;
        }
        bytes += name.size() + 1;
        names.push_back(&name);
    }
    std::string prefix;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        prefix += *it == nullptr ? "..." : **it + ".";
    return prefix;
}

void CqzCaptureVars::MakeColumns(CqzCaptureTable& out, const std::string& file,
                                 std::int64_t line)
{
    if (m_vars.empty())
        throw CqzCaptureError(file, line, "the file declares no variables");
    const bool skip = DropTopScope();
    int made = 0;
    for (SqzVar& v : m_vars)
    {
        const std::string name = ScopePrefix(v, skip) + v.name;
        if (v.kind != eText && v.width > kMaxWidth)
        {
            out.Note((v.line > 0 ? std::to_string(v.line) + ": " : std::string()) + "$var " +
                     CqzCaptureText::Printable(name) + " is " + std::to_string(v.width) +
                     " bits wide; skipped (labels hold at most 128 bits)");
            continue;
        }
        const bool integral =
            v.kind == eInteger &&
            (v.width == 8 || v.width == 16 || v.width == 32 || v.width == 64 || v.width == 128);
        v.column = v.kind == eText ? out.AddLabel(eqzLabelString, name, 0)
                   : integral      ? out.AddLabel(eqzLabelIntegral, name, v.width)
                                   : out.AddLabel(eqzLabelDigital, name, v.width);
        if (v.column < 0)
            throw CqzCaptureError(file, v.line,
                                  "$var " + CqzCaptureText::Printable(name) +
                                      " cannot be stored");
        ++made;
    }
    if (made == 0)
        throw CqzCaptureError(file, line, "the file declares no variables that can be imported");
}
