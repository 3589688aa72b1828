#pragma once
// The one way files are written: the new content goes to a file beside the target that has no
// name while it is written (or, where the file system cannot do that, a temporary name that a
// signal handler removes), is flushed to disk, and then takes the target's place by a rename.
// The target therefore holds its old content or its new one, never a part; a failure, an
// exception or a signal (SIGINT, SIGTERM, SIGHUP) leaves the old file and no other. A symbolic
// link is followed to its target, which is replaced and keeps its permissions.
//
// Failures throw CqzPersistenceException "cannot write the WHAT 'PATH': REASON" with the
// system's reason. Owned by whoever writes the file, for as long as it writes.
//
// For tests: the environment variable QZFILTER_PAUSE_AT=write (after the first bytes reached
// the disk) or =rename (just before the rename) stops the writer there, after it has written
// "qzfilter: paused at NAME" to standard error, until a signal ends the process.

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

class CqzFileWriter
{
public:
    CqzFileWriter(const std::string& path, const std::string& what);
    CqzFileWriter(const CqzFileWriter&) = delete;
    CqzFileWriter& operator=(const CqzFileWriter&) = delete;
    // Without a Commit the new content is discarded.
    ~CqzFileWriter();

    std::ostream& Stream();
    // Flushes, syncs and renames over the target; throws on any failure.
    void Commit();

    // The file a write to `path` replaces: symbolic links followed to their end.
    static std::string Resolve(const std::string& path);

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
