#pragma once

#include <string>

namespace flicko {

// The list of files followed belongs to one read; an error that ends the read
// must not leave names behind that would look circular to the next one.
class ReadListScope {
public:
    explicit ReadListScope(std::string& list) : list_(list) { list_.clear(); }
    ~ReadListScope() { list_.clear(); }
    ReadListScope(const ReadListScope&) = delete;
    ReadListScope& operator=(const ReadListScope&) = delete;

private:
    std::string& list_;
};

}  // namespace flicko
