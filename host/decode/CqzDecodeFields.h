#pragma once
// The number labels of a decoder's table and how its annotations fill them, from the names of
// its annotation classes, so that terms can compare data words:
// - a class "X-data" gives the field X (spi: mosi, miso; uart: rx, tx);
// - classes "X-read" and "X-write" give the field X and the field rw, 1 for a read and 0 for a
//   write (i2c: address, data, rw);
// - in a decoder with "start" and "stop" classes, every annotation from a start (or repeated
//   start) to the stop carries the address and rw of that transfer.
// The value is the last word of the annotation's text in the base of the decoder's "format"
// option (hexadecimal without one; "ascii" reads a character or "[0A]"); a text that is no
// number leaves the field without data.

#include "SqzDecodedAnnotations.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CqzDecodeFields
{
public:
    CqzDecodeFields(const std::vector<std::string>& classes, const std::string& format);

    // The field names (label suffixes), in order.
    const std::vector<std::string>& GetNames() const { return m_names; }
    // Per row (annotations in table order) and field: the value, if the row has one.
    std::vector<std::vector<std::optional<std::uint64_t>>>
    Read(const std::vector<const SqzAnnotation*>& rows) const;
    // The number in an annotation text, read as the format says.
    static std::optional<std::uint64_t> ParseNumber(const std::string& text,
                                                    const std::string& format);

private:
    int AddField(const std::string& name);
    void CarryTransfers(const std::vector<const SqzAnnotation*>& rows,
                        std::vector<std::vector<std::optional<std::uint64_t>>>& values) const;

    std::string m_format;
    std::vector<std::string> m_names;
    // Per class: the field its number goes to (-1 none) and its rw value (-1 none).
    std::vector<int> m_fieldOfClass;
    std::vector<int> m_rwOfClass;
    int m_rw = -1;
    int m_address = -1;
    int m_startClass = -1, m_repeatClass = -1, m_stopClass = -1;
};
