#pragma once
// One tag of a setup in memory: its named values and child tags in the order they were added.
// Names are UTF-8. Values and tags have separate name spaces, so a tag and a value may share a
// name. Setting a value or adding a tag under a name that exists replaces the value or returns
// the existing tag; appending (used when decoding) keeps every entry but lookups answer the first
// of a name. Owned by its parent tag; the root by the setup that holds it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

class CqzPersistenceNode
{
public:
    // Text (UTF-8), bool, unsigned 32-bit, byte block.
    using Value = std::variant<std::string, bool, std::uint32_t, std::vector<std::uint8_t>>;

    struct Entry
    {
        std::string name;
        Value value;                               // unused for a tag
        std::unique_ptr<CqzPersistenceNode> child; // set for a tag, null for a value
    };

    CqzPersistenceNode() = default;
    CqzPersistenceNode(const CqzPersistenceNode&) = delete;
    CqzPersistenceNode& operator=(const CqzPersistenceNode&) = delete;

    const CqzPersistenceNode* FindTag(const std::string& name) const;
    CqzPersistenceNode* FindTag(const std::string& name);
    const Value* FindValue(const std::string& name) const;

    // The tag of that name, created at the end when there is none.
    CqzPersistenceNode& OpenTag(const std::string& name);
    // Replaces the value of that name in place, or adds it at the end.
    void SetValue(const std::string& name, Value value);

    CqzPersistenceNode& AppendTag(const std::string& name);
    void AppendValue(const std::string& name, Value value);

    const std::vector<Entry>& GetEntries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
    std::unordered_map<std::string, std::size_t> m_tagIndex;
    std::unordered_map<std::string, std::size_t> m_valueIndex;
};
