#pragma once
// An output file of the host (CSV, HTML, markup): written through CqzFileWriter, so the old file
// stays until the new one is complete, and checked before a long run so that a typing error in
// a folder name costs no run. Failures are CqzHostError (exit code 4)
// "cannot write the WHAT 'PATH': REASON".

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class CqzFileWriter;

class CqzOutputFile
{
public:
    CqzOutputFile(const std::string& path, const std::string& what);
    ~CqzOutputFile();

    std::ostream& Stream();
    // Replaces the target with what was written; without it the target keeps its old content.
    void Commit();

    // Writes `bytes` as the whole new content of the file.
    static void Write(const std::string& path, const std::string& what, const std::string& bytes);

    // Refuses a path that names a folder, lies in a folder that does not exist, or may not be
    // written.
    static void CheckWritable(const std::string& path, const std::string& what);
    // Refuses an output (path, what) that is the same file as one of the inputs, however the
    // two are named (same device and inode, links followed).
    static void CheckNotInput(const std::vector<std::pair<std::string, std::string>>& outputs,
                              const std::vector<std::string>& inputs);

private:
    std::unique_ptr<CqzFileWriter> m_writer;
};
