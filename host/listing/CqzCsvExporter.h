#pragma once
// Writes every row of a data set to a CSV file: time in picoseconds, the label values, whether
// the row is hidden (0/1) and its colour (#rrggbb, empty when it is not coloured). With more
// than one table a first column names the table. Throws CqzHostError (exit code 4) when the
// file cannot be written.

#include "qzSystem/data/CqzData.h"

#include <string>

class CqzCsvExporter
{
public:
    // `table`: the one table written (-1: every table, each line starting with its number).
    static void Export(const std::string& path, const CqzData& data, const CqzID& instanceID,
                       bool progress, int table = -1);
    // A field quoted when it holds a comma, a quote, a line break or edge spaces.
    static std::string Field(const std::string& text);
};
