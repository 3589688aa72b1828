#pragma once
// The declarations of a dump (value change dump or FST): a tree of scopes, the variables
// declared in them, and the labels they become. The names and label types are the same for
// both formats, so that a dump imports alike from either.
//
// - Names: scope names joined with dots; when all variables sit inside one top scope, that
//   scope is left out. A name keeps the innermost scopes that fit in 1 KiB ("..." in front).
// - A single-bit select after the reference ("data [3]") is kept as "data[3]"; a range
//   ("[7:0]") is dropped (the width says it).
// - Bit variables of 1 to 128 bits become digital labels of their width (wider ones are
//   skipped with a note), integers of 8, 16, 32, 64 or 128 bits integral labels, reals and
//   strings string labels.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CqzCaptureTable;

class CqzCaptureVars
{
public:
    enum EqzKind
    {
        eBits,
        eInteger,
        eText
    };
    struct SqzVar
    {
        int scope = -1; // innermost scope, -1 for none
        std::string name;
        EqzKind kind = eBits;
        int width = 1;
        std::int64_t line = 0; // where it is declared (0: no line)
        int column = -1;       // -1: skipped
    };

    // A scope inside the open one (a top scope when none is open) becomes the open one.
    void OpenScope(const std::string& name);
    // The open scope's parent becomes the open one; false when no scope is open.
    bool CloseScope();
    // A variable in the open scope; returns its index.
    int Add(SqzVar var);
    const SqzVar& Get(int index) const { return m_vars[static_cast<std::size_t>(index)]; }
    std::size_t GetCount() const { return m_vars.size(); }

    // "data[3]" for the reference "data" and the select "[3]", "bus" for "bus" and "[7:0]".
    static std::string SelectName(std::string_view reference, std::string_view select);

    // Adds a label to `out` for every variable that can be one. Throws CqzCaptureError
    // ("file:line: ...") when there is no variable, none can be imported, or the table
    // refuses one; `line` is the place of the end of the declarations.
    void MakeColumns(CqzCaptureTable& out, const std::string& file, std::int64_t line);

private:
    struct SqzScope
    {
        int parent = -1; // -1: a top scope
        int top = 0;     // the top scope it lies in
        std::string name;
    };

    bool DropTopScope() const;
    const std::string& TopName(const SqzVar& v) const;
    std::string ScopePrefix(const SqzVar& v, bool skip) const;

    std::vector<SqzScope> m_scopes;
    int m_scope = -1; // the open scope
    std::vector<SqzVar> m_vars;
};
