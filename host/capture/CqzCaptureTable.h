#pragma once
// The table an importer fills: a fresh data set with one table and its time column, label
// columns with names made unique within the capture, and all-or-nothing delivery. Label
// identifiers come from the source identifier and the label name (CqzCaptureLabelID), so
// they are the same in every import. Until Release hands the data set over, the labels it
// registered are withdrawn from CqzLabelMgr when it is destroyed (a label an earlier import
// had registered under the same identifier is put back), so a failed import leaves nothing
// behind. It also keeps the import within its memory limit and passes notes on. Owned by the
// importer for the length of one import. With a gate (SqzCaptureOptions::gate) the gate owns
// the data set from the start, Release hands over nothing, and a failed import leaves the
// withdrawal of its labels to the gate, for when its readers are done.

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <memory>
#include <string>

class CqzCaptureTable
{
public:
    // `file` names the capture in notes and errors.
    CqzCaptureTable(const SqzCaptureOptions& options, const std::string& file);
    ~CqzCaptureTable();
    CqzCaptureTable(const CqzCaptureTable&) = delete;
    CqzCaptureTable& operator=(const CqzCaptureTable&) = delete;

    // Adds a label column named `name` (UTF-8, control bytes escaped), or name_2, name_3, ...
    // when a label of this capture already has the name. Returns the column number, or -1
    // when the table refuses the type or width.
    int AddLabel(EqzLabelType type, const std::string& name, int width);
    // The name a label was given (after making it unique).
    const CString& GetName(int column) const;
    // The names tried so far while making names unique (the tests' measure of that cost).
    std::int64_t GetNameProbes() const;

    // Writes the value of `row` (the last row) of a digital or integral column, with the bits
    // of its x and z digits (status 4 when there are any). The hot path of the text importers.
    void SetBits(int column, std::int64_t row, const CqzUInt& value, const CqzUInt& unknown,
                 const CqzUInt& floating);

    // Writes the values of count rows from `first` of such a column, none with x or z digits.
    void SetValues(int column, std::int64_t first, const std::uint64_t* values, std::int64_t count);

    // Passes a note ("file: text") to SqzCaptureOptions::note.
    void Note(const std::string& text) const;
    // Holds what `rows` rows of the columns added so far (and the texts pooled so far) take
    // as "the capture" in the run's memory budget, with the filter's output for as many rows
    // set aside (SqzCaptureOptions::runBytesPerRow); throws CqzCaptureError with the budget's
    // refusal when that passes the limit. Cheap: call it for
    // every block of rows, or once with the row count when it is known before. The time
    // column counts nothing while its times so far are start + row x step, or, before the
    // first row, when the caller knows they will be (fixedRate: one row per sample of a rate
    // whose period is a whole number of picoseconds).
    void CheckMemory(std::int64_t rows, bool fixedRate = false) const;

    // Appends a row at `time` and checks the memory ahead every 65536 rows; the new row's
    // number.
    std::int64_t AppendRow(std::int64_t time);
    // The same check ahead for count rows appended in bulk after the first `first`: where
    // they cross a multiple of 65536 rows, the memory of the next 65536 is checked, as
    // AppendRow checks it.
    void CheckAppend(std::int64_t first, std::int64_t count) const;

    CqzDataTable& GetTable() const;
    // Hands over the data set (null with a gate), held in the budget at its final size
    // (CheckMemory); the labels stay registered.
    std::unique_ptr<CqzData> Release();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
