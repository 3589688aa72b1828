#include "mfc/ui/CGdiObject.h"

#include "mfc/ui/AfxQt.h"
#include "mfc/ui/CBrush.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CPen.h"

#include <map>
#include <memory>

namespace
{
// The stock objects: made once, never deleted while the process runs.
class StockObjects
{
public:
    HGDIOBJ Get(int index)
    {
        auto found = m_records.find(index);
        if (found != m_records.end())
            return found->second.get();
        auto record = Make(index);
        if (!record)
            return nullptr;
        // The wrapper has the class of its kind, so that FromHandle can be cast to it.
        std::unique_ptr<CGdiObject> wrapper;
        if (record->kind == HGDIOBJ__::Font)
            wrapper = std::make_unique<CFont>();
        else if (record->kind == HGDIOBJ__::Pen)
            wrapper = std::make_unique<CPen>();
        else
            wrapper = std::make_unique<CBrush>();
        wrapper->m_hObject = record.get();
        record->wrapper = wrapper.get();
        m_wrappers[index] = std::move(wrapper);
        return (m_records[index] = std::move(record)).get();
    }

private:
    static std::unique_ptr<HGDIOBJ__> Make(int index)
    {
        auto record = std::make_unique<HGDIOBJ__>();
        switch (index)
        {
        case WHITE_BRUSH:
        case LTGRAY_BRUSH:
        case GRAY_BRUSH:
        case BLACK_BRUSH:
        {
            static const int shades[] = {255, 192, 128, 64, 0};
            record->kind = HGDIOBJ__::Brush;
            const int shade = shades[index];
            record->brush = QBrush(QColor(shade, shade, shade));
            return record;
        }
        case NULL_BRUSH:
            record->kind = HGDIOBJ__::Brush;
            return record;
        case WHITE_PEN:
        case BLACK_PEN:
            record->kind = HGDIOBJ__::Pen;
            record->pen = QPen(index == WHITE_PEN ? Qt::white : Qt::black, 0);
            return record;
        case NULL_PEN:
            record->kind = HGDIOBJ__::Pen;
            return record;
        case DEFAULT_GUI_FONT:
            record->kind = HGDIOBJ__::Font;
            record->logFont = afxqt::DialogLogFont(L"MS Sans Serif", 8);
            record->font = afxqt::MapFont(record->logFont);
            return record;
        default:
            return nullptr;
        }
    }

    std::map<int, std::unique_ptr<HGDIOBJ__>> m_records;
    std::map<int, std::unique_ptr<CGdiObject>> m_wrappers;
};

StockObjects& Stock()
{
    static StockObjects* stock = new StockObjects; // lives as long as the process
    return *stock;
}
} // namespace

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    if (m_owned)
        delete m_hObject;
    m_hObject = nullptr;
    m_owned = false;
    return TRUE;
}

BOOL CGdiObject::CreateStockObject(int index)
{
    DeleteObject();
    m_hObject = GetStockObject(index);
    return m_hObject != nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    return handle == nullptr ? nullptr : handle->wrapper;
}

void CGdiObject::Own(HGDIOBJ handle)
{
    DeleteObject();
    handle->wrapper = this;
    m_hObject = handle;
    m_owned = true;
}

HGDIOBJ GetStockObject(int index)
{
    return Stock().Get(index);
}
