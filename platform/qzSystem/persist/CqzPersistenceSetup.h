#pragma once
// The host's tagged setup store: a tree of named tags holding named values (text, bool,
// unsigned 32-bit, byte block), opened on a byte buffer or on a setup file.
//
// Read mode (1) decodes and validates the whole input when the setup is constructed and serves
// every read from the decoded tree; corrupt, truncated or oversized input throws
// CqzPersistenceException from the constructor. Write mode (2) builds the tree in memory; Close()
// encodes it into the buffer (replacing the buffer's content) or writes the file through a
// temporary file and a rename. The destructor of a write-mode setup that was not closed does the
// same, logging an error instead of throwing when that fails. Until then the buffer or file is
// untouched.
//
// Names: within one tag a value name and a tag name may coincide. Writing a value under a name
// that already has one replaces it (last write wins); opening an existing tag in write mode
// reopens it. Data holding duplicate names, which this writer never produces, answers with the
// first of them.
//
// Reads of a missing value, or of a value stored with another type, return false and leave the
// target unchanged. Inside a plain tag that does not exist every read fails and every nested tag
// is missing, but the tag must still be closed. Limits: see CqzPersistenceCodec (256 MiB per
// setup, 64 tag levels, names of up to 65535 UTF-8 bytes).

#include "mfc/CString.h"

#include <cstdint>
#include <memory>
#include <vector>

enum EqzPersistenceMode
{
    eqzPersistRead = 1,
    eqzPersistWrite = 2
};

class CqzPersistenceSetup
{
public:
    CqzPersistenceSetup(std::vector<std::uint8_t>& buffer, int mode);
    // Read mode reads the file now; write mode writes it on Close().
    CqzPersistenceSetup(const CString& path, int mode);
    ~CqzPersistenceSetup();
    CqzPersistenceSetup(const CqzPersistenceSetup&) = delete;
    CqzPersistenceSetup& operator=(const CqzPersistenceSetup&) = delete;

    int GetMode() const;
    bool IsReading() const { return GetMode() == eqzPersistRead; }
    // Tags opened and not yet closed.
    int GetOpenTagCount() const;

    // Scoped tag. Read mode: opens the child tag of that name and answers true, or answers false
    // when there is none (and throws when 'required' is set). Write mode: always opens it. Close
    // it with CloseTag(bool) only when the answer was true. The close flag has no effect; it
    // pairs the call with the scoped open.
    bool OpenTag(const CString& name, bool required);
    void CloseTag(bool flag);
    // Plain tag, always closed with CloseTag(). A missing tag in read mode is opened as an empty
    // placeholder.
    void OpenTag(const CString& name);
    void CloseTag();

    // Writing needs write mode and a setup that is not closed.
    void Write(const CString& name, const CString& value);
    void Write(const CString& name, const wchar_t* value) { Write(name, CString(value)); }
    void Write(const CString& name, bool value);
    void Write(const CString& name, std::uint32_t value);
    void Write(const CString& name, const std::vector<std::uint8_t>& value);
    // A narrow literal would silently become a bool.
    void Write(const CString& name, const char* value) = delete;

    bool Read(const CString& name, CString& value) const;
    bool Read(const CString& name, bool& value) const;
    bool Read(const CString& name, std::uint32_t& value) const;
    bool Read(const CString& name, std::vector<std::uint8_t>& value) const;
    // Names of the child tags of the current tag, in stored order (empty inside a missing tag).
    // Lets a reader walk what is there instead of trusting a stored count.
    std::vector<CString> GetTagNames() const;
    // The numbers N of the child tags named PREFIX<N> (N in decimal without leading zeros, at
    // most ten digits), sorted, each once: numbered tags as they are stored, whatever a count
    // value says.
    std::vector<std::uint64_t> GetTagNumbers(const CString& prefix) const;

    // Write mode: encodes the tree into the buffer or the file; later calls do nothing and later
    // writes throw. Read mode: nothing to do.
    void Close();
    // Writes the current tree, in either mode, to a file through a temporary file and a rename.
    void SaveFile(const CString& path) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
