#include "win/Guid.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>

HRESULT CoCreateGuid(GUID* guid)
{
    if (guid == nullptr)
        return E_FAIL;
    unsigned char bytes[16];
    std::size_t got = 0;
    while (got < sizeof bytes)
    {
        ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return E_FAIL;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes[7] = static_cast<unsigned char>((bytes[7] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    std::memcpy(guid, bytes, sizeof bytes);
    return S_OK;
}

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
