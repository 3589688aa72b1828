#pragma once
// What one run made for one data table: the output attribute source and the iterators that
// production walks, and the production command. Owned by the run engine.

#include "output/CqzFilterCmd.h"
#include "qzSystem/data/CqzDataSource.h"
#include "qzSystem/data/CqzIntegralDataSourceIter.h"
#include "qzSystem/data/CqzSampleTimeIter.h"
#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/output/CqzPageSampleAttributesDataSource.h"
#include "qzSystem/output/CqzPageSubrowSampleAttributesDataSource.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <memory>

struct SqzFilterOutput
{
    explicit SqzFilterOutput(const CqzID& table, CqzFilterEngine* engine)
        : tableID(table), command(engine)
    {
    }
    SqzFilterOutput(const SqzFilterOutput&) = delete;
    SqzFilterOutput& operator=(const SqzFilterOutput&) = delete;
    // The sources go first: dropping them releases the producers before anything they use.
    ~SqzFilterOutput()
    {
        rowSource.reset();
        subrowSource.reset();
    }

    // The output source, whichever kind the table needs.
    CqzPageDataSource& GetSource() const
    {
        return rowSource ? static_cast<CqzPageDataSource&>(*rowSource) : *subrowSource;
    }

    CqzID tableID;
    bool hasSubrows = false;
    bool inputPerSubrow = false;
    bool hasInputAttributes = false;
    // Members below are destroyed bottom-up: command, time iterator, output iterator, subrow
    // iterator, input iterator, input source.
    std::unique_ptr<CqzDataSource> inputSource;
    std::unique_ptr<CqzSampleAttributesDataSourceIter> inputIter;
    std::unique_ptr<CqzIntegralDataSourceIter> subrowIter;
    std::unique_ptr<CqzSampleAttributesDataSourceIter> outputIter;
    std::unique_ptr<CqzSampleTimeIter> timeIter;
    std::unique_ptr<CqzPageSampleAttributesDataSource> rowSource;
    std::unique_ptr<CqzPageSubrowSampleAttributesDataSource> subrowSource;
    CqzFilterCmd command;
};
