#include "output/CqzFilterCmd.h"

#include "output/CqzFilterEngine.h"

struct CqzFilterCmd::SqzImp
{
    int first = 0;
    int last = -1;
    CqzID table;
    CqzFilterEngine* engine = nullptr;
};

CqzFilterCmd::CqzFilterCmd(CqzFilterEngine* engine) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->engine = engine;
}

CqzFilterCmd::CqzFilterCmd(const CqzFilterCmd& other)
    : CqzAnalysisToolCmd(other), m_imp(std::make_unique<SqzImp>())
{
    *m_imp = *other.m_imp;
}

CqzFilterCmd::~CqzFilterCmd() = default;

int CqzFilterCmd::Execute()
{
    m_imp->engine->Produce(m_imp->table, m_imp->first, m_imp->last);
    return 1;
}

CqzMvcCommand* CqzFilterCmd::Clone() const
{
    return new CqzFilterCmd(*this);
}

void CqzFilterCmd::SetRange(int first, int last)
{
    m_imp->first = first;
    m_imp->last = last;
}

const CqzID& CqzFilterCmd::SetTableID(const CqzID& tableID)
{
    if (&tableID != &m_imp->table)
        m_imp->table = tableID;
    return m_imp->table;
}

int CqzFilterCmd::GetFirst() const
{
    return m_imp->first;
}
int CqzFilterCmd::GetLast() const
{
    return m_imp->last;
}
const CqzID& CqzFilterCmd::GetTableID() const
{
    return m_imp->table;
}
