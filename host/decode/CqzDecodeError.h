#pragma once
// The one exception of the protocol decoding: what went wrong, naming the decoder where one is
// to blame ("decoder 'spi': no channel 'clk' given"). Thrown by value; the host shows it with
// exit code 2.

#include <stdexcept>
#include <string>

class CqzDecodeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
