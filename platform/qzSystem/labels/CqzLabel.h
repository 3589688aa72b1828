#pragma once
// One label of the acquired data: identifier, name, type bits, width, owning plug-in and a
// descriptive text. Kept by CqzLabelMgr.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzBitSet.h"
#include "qzSystem/ids/CqzID.h"

// Label type bits.
enum EqzLabelType
{
    eqzLabelIntegral = 2,
    eqzLabelDigital = 3,
    eqzLabelString = 4,
    eqzLabelSampleNumber = 5,
    eqzLabelTime = 6
};

class CqzLabel
{
public:
    CqzLabel(const CqzID& labelID, const CString& name, const CqzBitSet& type, int width,
             const CqzID& sourceID, const CString& description = CString())
        : m_labelID(labelID), m_name(name), m_type(type), m_width(width), m_sourceID(sourceID),
          m_description(description)
    {
    }

    const CqzID& GetLabelID() const { return m_labelID; }
    const CString& GetName() const { return m_name; }
    const CqzBitSet& GetType() const { return m_type; }
    bool IsType(EqzLabelType bit) const { return m_type.IsSet(bit); }
    int GetWidth() const { return m_width; }
    // The plug-in (or acquisition module) that made the label.
    const CqzID& GetSourceID() const { return m_sourceID; }
    const CString& GetDescription() const { return m_description; }
    void SetDescription(const CString& text) { m_description = text; }

private:
    CqzID m_labelID;
    CString m_name;
    CqzBitSet m_type;
    int m_width;
    CqzID m_sourceID;
    CString m_description;
};
