#pragma once
// The one error the setup store raises: unreadable, corrupt, truncated or oversized setup data,
// a setup file that cannot be read or written, and misuse of a setup (writing while reading).
// The message says what is wrong and, for data, at which byte.

#include <stdexcept>
#include <string>

class CqzPersistenceException : public std::runtime_error
{
public:
    explicit CqzPersistenceException(const std::string& what) : std::runtime_error(what) {}
};
