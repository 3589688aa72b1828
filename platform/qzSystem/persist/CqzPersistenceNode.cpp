#include "qzSystem/persist/CqzPersistenceNode.h"

#include <utility>

const CqzPersistenceNode* CqzPersistenceNode::FindTag(const std::string& name) const
{
    auto it = m_tagIndex.find(name);
    return it == m_tagIndex.end() ? nullptr : m_entries[it->second].child.get();
}

CqzPersistenceNode* CqzPersistenceNode::FindTag(const std::string& name)
{
    return const_cast<CqzPersistenceNode*>(std::as_const(*this).FindTag(name));
}

const CqzPersistenceNode::Value* CqzPersistenceNode::FindValue(const std::string& name) const
{
    auto it = m_valueIndex.find(name);
    return it == m_valueIndex.end() ? nullptr : &m_entries[it->second].value;
}

CqzPersistenceNode& CqzPersistenceNode::OpenTag(const std::string& name)
{
    auto it = m_tagIndex.find(name);
    return it == m_tagIndex.end() ? AppendTag(name) : *m_entries[it->second].child;
}

void CqzPersistenceNode::SetValue(const std::string& name, Value value)
{
    auto it = m_valueIndex.find(name);
    if (it == m_valueIndex.end())
        AppendValue(name, std::move(value));
    else
        m_entries[it->second].value = std::move(value);
}

CqzPersistenceNode& CqzPersistenceNode::AppendTag(const std::string& name)
{
    m_tagIndex.emplace(name, m_entries.size());
    m_entries.push_back({name, Value(), std::make_unique<CqzPersistenceNode>()});
    return *m_entries.back().child;
}

void CqzPersistenceNode::AppendValue(const std::string& name, Value value)
{
    m_valueIndex.emplace(name, m_entries.size());
    m_entries.push_back({name, std::move(value), nullptr});
}
