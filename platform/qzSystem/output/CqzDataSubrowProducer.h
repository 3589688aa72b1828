#pragma once
// Base of the producers that fill a paged data source holding one value per subrow. A page is
// produced as for CqzDataProducer; the producer also adds each row's subrows (through an
// iterator of the source in access mode 5) before writing their values.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/output/CqzDataPage.h"

#include <cstdint>

template <typename T> class CqzDataSubrowProducer
{
public:
    using ValueType = T;

    virtual ~CqzDataSubrowProducer() = default;

    // What kind of producer this is; analysis tools answer 2.
    virtual int GetKind() const = 0;
    // Adds the subrows of rows firstRow ... firstRow + page.GetRowCount() - 1 and writes the
    // values of all their lines. True on success; on failure the page stays unproduced.
    virtual bool Produce(const CqzDataPage& page, std::int64_t firstRow)
    {
        (void)page;
        (void)firstRow;
        return false;
    }
    // Asks a producer working in the background to stop; nothing to stop here.
    virtual void CancelProduction() {}
    // Scheduling priority among producers; analysis tools answer 0.
    virtual int GetPriority() const = 0;
    // Whether the producer delivers pages later, in the background.
    virtual bool IsProducingInBackground() const { return false; }
    // Sets the identifier of the table the producer serves; returns the stored identifier.
    virtual const CqzID& SetTableID(const CqzID& tableID) = 0;
};
