#include "machine/Machine.h"

namespace machine {

namespace {

char FoldChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string FoldCase(const std::string& text)
{
    std::string folded(text);
    for (char& c : folded) {
        c = FoldChar(c);
    }
    return folded;
}

bool EqualsFolded(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string WithoutEmptyParts(const std::string& path)
{
    std::string clean;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            clean += (clean.empty() ? "" : "\\") + path.substr(start, end - start);
        }
        start = end + 1;
    }
    return clean;
}

const RegistryValue* RegistryKey::Find(const std::string& name) const
{
    for (const RegistryValue& value : values) {
        if (EqualsFolded(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void RegistryKey::Set(RegistryValue value)
{
    for (RegistryValue& existing : values) {
        if (EqualsFolded(existing.name, value.name)) {
            existing = std::move(value);
            return;
        }
    }
    values.push_back(std::move(value));
}

bool Registry::Add(RegistryKey key)
{
    if (!byFoldedPath_.emplace(FoldCase(key.path), keys_.size()).second) {
        return false;
    }
    keys_.push_back(std::move(key));
    return true;
}

RegistryKey& Registry::Key(const std::string& path)
{
    const auto placed = byFoldedPath_.emplace(FoldCase(path), keys_.size());
    if (placed.second) {
        keys_.push_back(RegistryKey{path, {}});
    }
    return keys_[placed.first->second];
}

const RegistryKey* Registry::Find(const std::string& path) const
{
    const auto found = byFoldedPath_.find(FoldCase(path));
    return found == byFoldedPath_.end() ? nullptr : &keys_[found->second];
}

}  // namespace machine
