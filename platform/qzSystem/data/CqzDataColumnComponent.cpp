#include "qzSystem/data/CqzDataColumnComponent.h"

#include "qzSystem/data/CqzSampleDataSource.h"

struct CqzDataColumnComponent::SqzImp
{
    CqzID labelID;
    CqzBitSet attributes;
    std::unique_ptr<CqzDataSource> source;
    std::shared_ptr<CqzSampleStore> store;
};

CqzDataColumnComponent::CqzDataColumnComponent(const CqzID& labelID)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->labelID = labelID;
}

CqzDataColumnComponent::~CqzDataColumnComponent() = default;

const CqzID& CqzDataColumnComponent::GetLabelID() const
{
    return m_imp->labelID;
}

const CqzBitSet& CqzDataColumnComponent::GetAttributes() const
{
    return m_imp->attributes;
}

void CqzDataColumnComponent::SetAttributes(const CqzBitSet& attributes)
{
    m_imp->attributes = attributes;
}

int CqzDataColumnComponent::GetIntegralWidth() const
{
    for (int bit = eqzColumnAttrWidth8; bit <= eqzColumnAttrWidth128; ++bit)
        if (m_imp->attributes.IsSet(bit))
            return 8 << (bit - eqzColumnAttrWidth8);
    return 0;
}

int CqzDataColumnComponent::WidthAttribute(int widthBits)
{
    for (int bit = eqzColumnAttrWidth8; bit <= eqzColumnAttrWidth128; ++bit)
        if (widthBits == 8 << (bit - eqzColumnAttrWidth8))
            return bit;
    return -1;
}

CqzDataSource* CqzDataColumnComponent::GetDataSource() const
{
    return m_imp->source.get();
}

void CqzDataColumnComponent::SetDataSource(std::unique_ptr<CqzDataSource> source)
{
    m_imp->source = std::move(source);
    auto* samples = dynamic_cast<CqzSampleDataSource*>(m_imp->source.get());
    m_imp->store = samples ? samples->GetStore() : nullptr;
}

void CqzDataColumnComponent::SetDataSource(const CqzDataSource& source)
{
    if (&source == m_imp->source.get())
        return;
    SetDataSource(source.Clone());
}

CqzSampleStore* CqzDataColumnComponent::GetSampleStore() const
{
    return m_imp->store.get();
}

std::shared_ptr<CqzSampleStore> CqzDataColumnComponent::GetSharedSampleStore() const
{
    return m_imp->store;
}
