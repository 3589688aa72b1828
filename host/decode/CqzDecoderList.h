#pragma once
// `--decode list`: every installed decoder with its name, channels (required, then optional),
// options (default, and allowed values where it has a list) and what it stacks on.

#include <iosfwd>

class CqzDecoderList
{
public:
    static void Write(std::ostream& out);
};
