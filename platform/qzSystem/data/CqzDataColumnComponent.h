#pragma once
// What a data column is made of: the identifier of its label (or of the tool that added it),
// an attribute bit set and the data source that backs it. The column owns its data source.

#include "qzSystem/data/CqzDataSource.h"
#include "qzSystem/ids/CqzBitSet.h"
#include "qzSystem/ids/CqzID.h"

#include <memory>

class CqzSampleStore;

// Column attribute bits.
enum EqzColumnAttribute
{
    eqzColumnAttrAttributes = 15,    // the column holds display attributes...
    eqzColumnAttrAttributeData = 16, // ...as CqzSampleAttributes records
    eqzColumnAttrWidth8 = 19,        // bits 19 to 23: an integral label's width
    eqzColumnAttrWidth16 = 20,
    eqzColumnAttrWidth32 = 21,
    eqzColumnAttrWidth64 = 22,
    eqzColumnAttrWidth128 = 23
};

class CqzDataColumnComponent
{
public:
    explicit CqzDataColumnComponent(const CqzID& labelID);
    virtual ~CqzDataColumnComponent();
    CqzDataColumnComponent(const CqzDataColumnComponent&) = delete;
    CqzDataColumnComponent& operator=(const CqzDataColumnComponent&) = delete;

    const CqzID& GetLabelID() const;
    const CqzBitSet& GetAttributes() const;
    void SetAttributes(const CqzBitSet& attributes);

    // The width given by the attribute bits 19 to 23 (first set bit wins), or 0.
    int GetIntegralWidth() const;
    // The attribute bit for an integral width of 8, 16, 32, 64 or 128 bits; -1 for others.
    static int WidthAttribute(int widthBits);

    // The data source, owned by the column; null until one is set.
    CqzDataSource* GetDataSource() const;
    // Takes the source; null removes the current one.
    void SetDataSource(std::unique_ptr<CqzDataSource> source);
    // Keeps a copy (Clone) of the source, which shares its values.
    void SetDataSource(const CqzDataSource& source);
    // The stored samples when the data source is a label column's CqzSampleDataSource, else null.
    CqzSampleStore* GetSampleStore() const;
    std::shared_ptr<CqzSampleStore> GetSharedSampleStore() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
