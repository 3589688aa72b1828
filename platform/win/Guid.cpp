#include "win/Guid.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>

namespace
{

// Random bytes drawn from the system 256 identifiers at a time: a setup of a hundred thousand
// components makes as many identifiers, and one system call each would dominate its loading.
class CqzRandomPool
{
public:
    bool Take(unsigned char* out, std::size_t size)
    {
        if (m_used + size > sizeof m_bytes && !Refill())
            return false;
        std::memcpy(out, m_bytes + m_used, size);
        std::memset(m_bytes + m_used, 0, size); // never handed out twice
        m_used += size;
        return true;
    }

private:
    bool Refill()
    {
        std::size_t got = 0;
        while (got < sizeof m_bytes)
        {
            const ssize_t n = getrandom(m_bytes + got, sizeof m_bytes - got, 0);
            if (n < 0 && errno != EINTR)
                return false;
            got += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        m_used = 0;
        return true;
    }

    unsigned char m_bytes[4096] = {};
    std::size_t m_used = sizeof m_bytes;
};

} // namespace

HRESULT CoCreateGuid(GUID* guid)
{
    if (guid == nullptr)
        return E_FAIL;
    thread_local CqzRandomPool pool;
    unsigned char bytes[16];
    if (!pool.Take(bytes, sizeof bytes))
        return E_FAIL;
    bytes[7] = static_cast<unsigned char>((bytes[7] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    std::memcpy(guid, bytes, sizeof bytes);
    return S_OK;
}

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
