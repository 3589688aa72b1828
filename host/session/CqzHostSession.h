#pragma once
// One run of the host: the capture's data set, the loaded plug-in library and one filter tool
// instance made by it, driven only through plug-in messages and the tool's command interface.
// Destroys the tool (destroy message, then delete) before the library is unloaded and before
// the data set goes. Errors are CqzHostError with the exit code of their kind.

#include "SqzDecodeRequest.h"
#include "capture/SqzCaptureOptions.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/labels/CqzLabel.h"

#include <memory>
#include <string>
#include <vector>

class CqzPlugInInterface;
class CqzUICmdBase;

class CqzHostSession
{
public:
    CqzHostSession();
    ~CqzHostSession();
    CqzHostSession(const CqzHostSession&) = delete;
    CqzHostSession& operator=(const CqzHostSession&) = delete;

    // Exit code 2 with the importer's "file:line: what is wrong". "-" reads standard input.
    void LoadCapture(const std::string& path, const SqzCaptureOptions& options);
    // Starts importing the capture on a worker thread and returns once its first rows exist
    // (or it ended): the data set grows while the tool runs on it. From here the calling
    // thread holds the capture's gate (see CqzCaptureGate): it must let go of it (ReleaseCapture)
    // whenever it waits, and call FollowCapture after it takes it again. A failure before the
    // first rows is reported as LoadCapture reports it; a later one by FinishCapture.
    void StartCapture(const std::string& path, const SqzCaptureOptions& options,
                      std::int64_t publishEvery = 4096);
    // Whether an import started by StartCapture is still running.
    bool IsLoading() const;
    // The rows published so far (any thread); the row count of the table once loaded.
    std::int64_t GetArrivedRows() const;
    void ReleaseCapture();
    void HoldCapture();
    // Tells the tool of the rows that arrived: its output grows to them and it gets the
    // data-refresh message (21); the import's notes are told. True when rows were added since
    // the last call.
    bool FollowCapture();
    // Waits for rows to exist (or the end of the import), then follows.
    void WaitForRows(std::int64_t rows);
    // Waits for the end of the import and follows; exit code 2 with the importer's
    // "file:line: what is wrong" when it failed.
    void FinishCapture();
    // Stops the import at its next page; FinishCapture then reports it cancelled.
    void CancelCapture();
    // Takes a data set made elsewhere (labels registered) in place of a capture file.
    void SetData(std::unique_ptr<CqzData> data);
    // Runs the protocol decoders of the request over the capture and adds their tables after
    // the capture's, before the tool starts. Exit code 2 naming the decoder when one cannot run.
    void Decode(const SqzDecodeRequest& request);
    // The table named `name`: "capture" (the first) or a decoder's table ("spi"); exit code 1
    // naming the tables there are when none has the name.
    int FindTable(const std::string& name) const;
    // The decoders' tables, in order.
    const std::vector<std::string>& GetDecodedTables() const;
    // Loads the library, makes a tool, connects it to the data set and makes the capture's
    // labels available to it. Exit code 3 when any of that fails. Needs the capture.
    void StartTool(const std::string& pluginPath);

    const CqzData& GetData() const;
    const CqzID& GetInstanceID() const;
    // The tool, for what a host asks of any plug-in (its editor commands); null before
    // StartTool.
    CqzPlugInInterface* GetTool() const;
    // The capture's labels (one per label column), in table order.
    std::vector<const CqzLabel*> GetLabels() const;

    // The tool's setup as markup ("GetSetup").
    CString GetSetupMarkup() const;
    // Sends a markup document to the tool; false when the tool refuses some of it.
    bool ApplyMarkup(CqzXMLParser& xml);
    // Reads a markup file and applies it. Exit code 4 for a file that cannot be read or parsed,
    // or a term that names a label the capture lacks or that the tool refuses (CqzSetupCheck
    // says which term and why). Answers the document applied.
    CString ApplyMarkupFile(const std::string& path);
    void SaveMarkupFile(const std::string& path) const;
    // The text SaveMarkupFile writes (UTF-8), ending with a line break.
    std::string GetMarkupText() const;
    // Binary setups through the load and save messages. Exit code 4 on failure, and for a
    // setup whose counts disagree with its content or that names labels the capture lacks.
    void LoadSetupFile(const std::string& path);
    void SaveSetupFile(const std::string& path);
    // The tool's user-interface commands of a kind (5: its editor), owned by the tool.
    std::vector<CqzUICmdBase*> GetUICmds(int kind) const;
    // Validates the labels and runs the filter.
    void Run();
    bool IsFilterEnabled() const;
    // The number of terms the tool holds now.
    int GetTermCount() const;

private:
    static SqzCaptureOptions OnRunBudget(const SqzCaptureOptions& options);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
