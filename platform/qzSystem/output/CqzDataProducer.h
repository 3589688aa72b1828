#pragma once
// Base of the producers that fill a paged data source (one value per row) on demand. The data
// source owns its producer and asks it for a page the first time a row of that page is read,
// and again after the page was invalidated. The producer writes the page's values through an
// iterator of the source in access mode 5, which never asks for production itself.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/output/CqzDataPage.h"

#include <cstdint>

template <typename T> class CqzDataProducer
{
public:
    using ValueType = T;

    virtual ~CqzDataProducer() = default;

    // What kind of producer this is; analysis tools answer 2.
    virtual int GetKind() const = 0;
    // Writes the values of rows firstRow ... firstRow + page.GetRowCount() - 1. True on success;
    // on failure the page stays unproduced.
    virtual bool Produce(const CqzDataPage& page, std::int64_t firstRow)
    {
        (void)page;
        (void)firstRow;
        return false;
    }
    // Writes the value of one row on its own; false for producers that only work page-wise.
    virtual bool ProduceRow(std::int64_t row)
    {
        (void)row;
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
