#pragma once
// Runs the decoder stacks of a request over the first table of a data set (the capture) and
// adds one table per decoder after it (CqzDecodedTable), named after the decoder ("spi", and
// "spi_2" for a second one). All stacks are checked before any is decoded, and tables are
// added only once every stack has decoded: an error (CqzDecodeError, naming the decoder)
// leaves the data set as it was.

#include "SqzDecodeRequest.h"
#include "qzSystem/data/CqzData.h"

#include <string>
#include <vector>

class CqzDecodeRunner
{
public:
    // The names of the tables added, in table order.
    static std::vector<std::string> Run(CqzData& data, const SqzDecodeRequest& request);
};
