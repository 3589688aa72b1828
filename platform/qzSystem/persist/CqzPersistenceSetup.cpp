#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <algorithm>

#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/persist/CqzPersistenceCodec.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceFile.h"
#include "qzSystem/persist/CqzPersistenceNode.h"

#include <exception>
#include <string>

struct CqzPersistenceSetup::SqzImp
{
    int mode = eqzPersistRead;
    std::vector<std::uint8_t>* buffer = nullptr; // write target, or null for a file
    CString path;                                // write target when there is no buffer
    std::unique_ptr<CqzPersistenceNode> root;
    std::vector<CqzPersistenceNode*> open; // innermost last; null for a missing tag
    bool closed = false;

    CqzPersistenceNode* Current() const { return open.empty() ? root.get() : open.back(); }

    void CheckWritable() const
    {
        if (mode != eqzPersistWrite)
            throw CqzPersistenceException("cannot write to a setup opened for reading");
        if (closed)
            throw CqzPersistenceException("cannot write to a setup that is closed");
    }

    template <typename T> const T* Find(const CString& name) const
    {
        const CqzPersistenceNode* node = Current();
        const CqzPersistenceNode::Value* value = node ? node->FindValue(name.ToUtf8()) : nullptr;
        return value ? std::get_if<T>(value) : nullptr;
    }

    template <typename T> void Store(const CString& name, T value)
    {
        CheckWritable();
        Current()->SetValue(CheckedName(name), CqzPersistenceNode::Value(std::move(value)));
    }

    static std::string CheckedName(const CString& name)
    {
        std::string utf8 = name.ToUtf8();
        if (utf8.size() > CqzPersistenceCodec::MaxNameLength)
            throw CqzPersistenceException("setup name longer than 65535 bytes");
        return utf8;
    }
};

namespace
{
int CheckedMode(int mode)
{
    if (mode != eqzPersistRead && mode != eqzPersistWrite)
        throw CqzPersistenceException("unknown setup mode " + std::to_string(mode));
    return mode;
}
} // namespace

CqzPersistenceSetup::CqzPersistenceSetup(std::vector<std::uint8_t>& buffer, int mode)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->mode = CheckedMode(mode);
    if (mode == eqzPersistRead)
        m_imp->root = CqzPersistenceCodec::Decode(buffer);
    else
    {
        m_imp->buffer = &buffer;
        m_imp->root = std::make_unique<CqzPersistenceNode>();
    }
}

CqzPersistenceSetup::CqzPersistenceSetup(const CString& path, int mode)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->mode = CheckedMode(mode);
    m_imp->path = path;
    if (mode == eqzPersistRead)
    {
        const auto data = CqzPersistenceFile::Read(path, CqzPersistenceCodec::MaxSize);
        try
        {
            m_imp->root = CqzPersistenceCodec::Decode(data);
        }
        catch (const CqzPersistenceException& e)
        {
            throw CqzPersistenceException("setup file '" + path.ToUtf8() + "': " + e.what());
        }
    }
    else
        m_imp->root = std::make_unique<CqzPersistenceNode>();
}

CqzPersistenceSetup::~CqzPersistenceSetup()
{
    if (m_imp->mode != eqzPersistWrite || m_imp->closed)
        return;
    try
    {
        Close();
    }
    catch (const std::exception& e)
    {
        CqzInfoMgr::Instance().LogMessage(CString(L"Setup not saved: ") + CString(e.what()),
                                          eqzLogError);
    }
}

int CqzPersistenceSetup::GetMode() const
{
    return m_imp->mode;
}

int CqzPersistenceSetup::GetOpenTagCount() const
{
    return static_cast<int>(m_imp->open.size());
}

bool CqzPersistenceSetup::OpenTag(const CString& name, bool required)
{
    if (m_imp->mode == eqzPersistWrite)
    {
        OpenTag(name);
        return true;
    }
    CqzPersistenceNode* parent = m_imp->Current();
    CqzPersistenceNode* tag = parent ? parent->FindTag(name.ToUtf8()) : nullptr;
    if (tag)
        m_imp->open.push_back(tag);
    else if (required)
        throw CqzPersistenceException("required setup tag '" + name.ToUtf8() + "' is missing");
    return tag != nullptr;
}

void CqzPersistenceSetup::CloseTag(bool /*flag*/)
{
    CloseTag();
}

void CqzPersistenceSetup::OpenTag(const CString& name)
{
    if (m_imp->mode == eqzPersistRead)
    {
        CqzPersistenceNode* parent = m_imp->Current();
        m_imp->open.push_back(parent ? parent->FindTag(name.ToUtf8()) : nullptr);
        return;
    }
    m_imp->CheckWritable();
    if (m_imp->open.size() >= static_cast<std::size_t>(CqzPersistenceCodec::MaxDepth))
        throw CqzPersistenceException("setup tags nested deeper than " +
                                      std::to_string(CqzPersistenceCodec::MaxDepth) + " levels");
    m_imp->open.push_back(&m_imp->Current()->OpenTag(SqzImp::CheckedName(name)));
}

void CqzPersistenceSetup::CloseTag()
{
    if (m_imp->open.empty())
        throw CqzPersistenceException("setup tag closed that was not opened");
    m_imp->open.pop_back();
}

void CqzPersistenceSetup::Write(const CString& name, const CString& value)
{
    m_imp->Store(name, value.ToUtf8());
}

void CqzPersistenceSetup::Write(const CString& name, bool value)
{
    m_imp->Store(name, value);
}

void CqzPersistenceSetup::Write(const CString& name, std::uint32_t value)
{
    m_imp->Store(name, value);
}

void CqzPersistenceSetup::Write(const CString& name, const std::vector<std::uint8_t>& value)
{
    m_imp->Store(name, value);
}

bool CqzPersistenceSetup::Read(const CString& name, CString& value) const
{
    const auto* text = m_imp->Find<std::string>(name);
    if (text)
        value = CString::FromUtf8(*text);
    return text != nullptr;
}

bool CqzPersistenceSetup::Read(const CString& name, bool& value) const
{
    const auto* flag = m_imp->Find<bool>(name);
    if (flag)
        value = *flag;
    return flag != nullptr;
}

bool CqzPersistenceSetup::Read(const CString& name, std::uint32_t& value) const
{
    const auto* number = m_imp->Find<std::uint32_t>(name);
    if (number)
        value = *number;
    return number != nullptr;
}

bool CqzPersistenceSetup::Read(const CString& name, std::vector<std::uint8_t>& value) const
{
    const auto* bytes = m_imp->Find<std::vector<std::uint8_t>>(name);
    if (bytes)
        value = *bytes;
    return bytes != nullptr;
}

std::vector<CString> CqzPersistenceSetup::GetTagNames() const
{
    std::vector<CString> names;
    if (const CqzPersistenceNode* node = m_imp->Current())
        for (const auto& entry : node->GetEntries())
            if (entry.child)
                names.push_back(CString::FromUtf8(entry.name));
    return names;
}

std::vector<std::uint64_t> CqzPersistenceSetup::GetTagNumbers(const CString& prefix) const
{
    std::vector<std::uint64_t> numbers;
    for (const CString& tag : GetTagNames())
    {
        if (tag.Left(prefix.GetLength()) != prefix)
            continue;
        const CString digits = tag.Mid(prefix.GetLength());
        bool ok = !digits.IsEmpty() && digits.GetLength() <= 10 &&
                  (digits.GetLength() == 1 || digits[0] != L'0');
        std::uint64_t value = 0;
        for (int i = 0; ok && i < digits.GetLength(); ++i)
        {
            ok = digits[i] >= L'0' && digits[i] <= L'9';
            value = value * 10 + static_cast<std::uint64_t>(digits[i] - L'0');
        }
        if (ok)
            numbers.push_back(value);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

void CqzPersistenceSetup::Close()
{
    if (m_imp->mode != eqzPersistWrite || m_imp->closed)
        return;
    m_imp->closed = true;
    auto data = CqzPersistenceCodec::Encode(*m_imp->root);
    if (m_imp->buffer)
        *m_imp->buffer = std::move(data);
    else
        CqzPersistenceFile::WriteAtomic(m_imp->path, data);
}

void CqzPersistenceSetup::SaveFile(const CString& path) const
{
    CqzPersistenceFile::WriteAtomic(path, CqzPersistenceCodec::Encode(*m_imp->root));
}
