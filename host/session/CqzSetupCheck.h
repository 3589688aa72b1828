#pragma once
// Checks a setup against the capture before the filter tool is given it, so that a person
// learns which term is wrong and why. The tool itself refuses a markup term it cannot read
// without saying why, and quietly drops the events of a binary setup whose labels the capture
// lacks; both kinds of setup are refused here instead, naming the file, the term (number and
// name), the label and the reason. Does not own the labels.

#include "markup/CqzXMLParser.h"
#include "qzSystem/labels/CqzLabel.h"

#include <string>
#include <unordered_map>
#include <vector>

class CqzPersistenceSetup;
class CqzSearchEventList;

class CqzSetupCheck
{
public:
    // `labels`: those of the capture; `path`: the file, for messages.
    CqzSetupCheck(const std::vector<const CqzLabel*>& labels, const std::string& path);

    // A markup document whose root is "Filter": every event names a label of the capture and
    // an operator that fits it, its values fit the label, and groups nest no deeper than the
    // search model reads. Throws
    // CqzHostError (exit code 4). The parser is not moved.
    void CheckMarkup(const CqzXMLParser& xml) const;
    // A binary setup: it holds the tool's Filter element, the stored counts of terms and of each term's components agree with the
    // tags stored, every expression reads back whole, every event's label is in the capture
    // and every action is known. Throws CqzHostError (exit code 4); otherwise leaves the setup
    // at its top level, as it found it.
    void CheckSetup(CqzPersistenceSetup& setup) const;
    // The message for a markup setup the tool refused after CheckMarkup passed: `read` terms
    // were read before the one refused.
    std::string Refused(const CqzXMLParser& xml, int read) const;

private:
    [[noreturn]] void Fail(int term, const CString& name, const std::string& reason) const;
    void CheckGroup(CqzXMLParser& xml, int term, const CString& name, int depth) const;
    void CheckEvent(const CqzXMLParser& xml, int term, const CString& name) const;
    void CheckTerm(CqzPersistenceSetup& setup, int term) const;
    void CheckComponents(CqzPersistenceSetup& setup, int term, const CString& name) const;
    // Every event's operator and value(s) against its label, as the editor and the command
    // line check them (width, operator, empty text, edges).
    void CheckPatterns(const CqzSearchEventList& events, int term, const CString& name) const;

    std::vector<const CqzLabel*> m_labels;
    std::unordered_map<CString, const CqzLabel*> m_byName;
    std::unordered_map<CqzID, const CqzLabel*> m_byID;
    std::string m_path;
};
