#pragma once
// Which line of its table a sample iterator reads for each row of a page: either consecutive
// lines (row i reads line first + i while i is below validRows, no line after that), or one
// line per row (-1 for none). Made by the page-wise evaluation for each table it reads.

#include <cstdint>

struct SqzFilterPageLines
{
    int count = 0;
    bool consecutive = false;
    std::int64_t first = 0;
    int validRows = 0;
    const std::int64_t* lines = nullptr;
};
