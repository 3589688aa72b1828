#pragma once
// A search expression over labels with its enable and invert flags and the two option sets
// that say which single-bit and which multi-bit choices its events may use. Copies are deep.

#include "qzSystem/ids/CqzBitSet.h"
#include "qzSystem/search/CqzSearchIfClause.h"

class CqzPersistenceSetup;
class CqzXMLParser;

class CqzSearchModel
{
public:
    // The option sets of every term's search model: single-bit {4, 5, 6}, multi-bit {1..8}.
    static CqzBitSet DefaultSingleBitOptions() { return CqzBitSet{4, 5, 6}; }
    static CqzBitSet DefaultMultiBitOptions() { return CqzBitSet::Range(1, 8); }

    CqzSearchModel();
    CqzSearchModel(const CqzBitSet& singleBitOptions, const CqzBitSet& multiBitOptions);
    CqzSearchModel(const CqzSearchModel&) = default;
    CqzSearchModel& operator=(const CqzSearchModel&) = default;
    virtual ~CqzSearchModel() = default;

    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool GetInverted() const { return m_inverted; }
    void SetInverted(bool inverted) { m_inverted = inverted; }

    const CqzBitSet& GetSingleBitOptions() const { return m_singleBitOptions; }
    const CqzBitSet& GetMultiBitOptions() const { return m_multiBitOptions; }

    // Writes and reads the model's own "SearchModel" block. A block that is missing leaves an
    // empty expression; one whose expression is not well formed loads as an empty expression.
    void Save(CqzPersistenceSetup* setup) const;
    void Load(CqzPersistenceSetup* setup);

    // Markup. QueryCommand, with the parser's current child being the element the expression
    // belongs to, appends a "Search" element inside that child; `command` is not used. False
    // only when the parser has no current element. DoCommands reads the next "Search" child of
    // the main element and replaces the expression and flags; without a "Search" child nothing
    // changes and the answer is true. An expression that cannot be read (unknown label or
    // operator, malformed number, not well formed) gives false and changes nothing. On success
    // the child position is left on the "Search" element, so that elements written after it
    // are found next; otherwise the parser's position is as before the call.
    bool QueryCommand(const CString& command, CqzXMLParser& xml) const;
    bool DoCommands(CqzXMLParser& xml);

    CqzSearchIfClause& GetIfClause() { return m_ifClause; }
    const CqzSearchIfClause& GetIfClause() const { return m_ifClause; }

private:
    bool m_enabled = true;
    bool m_inverted = false;
    CqzBitSet m_singleBitOptions;
    CqzBitSet m_multiBitOptions;
    CqzSearchIfClause m_ifClause;
};
