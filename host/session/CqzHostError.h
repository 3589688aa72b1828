#pragma once
// An error that ends a run of the host: the message for a person and the exit code that goes
// with it (1 usage or term, 2 capture, 3 plug-in, 4 setup or output file).

#include <stdexcept>
#include <string>

enum EqzHostExit
{
    eqzExitOk = 0,
    eqzExitUsage = 1,
    eqzExitCapture = 2,
    eqzExitPlugIn = 3,
    eqzExitFile = 4
};

class CqzHostError : public std::runtime_error
{
public:
    CqzHostError(EqzHostExit code, const std::string& message)
        : std::runtime_error(message), m_code(code)
    {
    }

    EqzHostExit GetExitCode() const { return m_code; }

private:
    EqzHostExit m_code;
};
