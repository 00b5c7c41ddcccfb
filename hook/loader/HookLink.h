// The resident side of the hook library: loads claspm.dll by path for each
// single call of an export and frees it at once, and owns the writes of the
// shared block's SendMove flag.
#pragma once

#include <cstdint>
#include <string>

#include "hook/FmoData.h"
#include "hook/HookInstaller.h"

namespace flicko {

class THookLink : public IHookInstaller, public IHookLink {
public:
    // block may be null (a duplicate instance never writes the block).
    THookLink(std::string libraryPath, TFmoData* block) : path_(std::move(libraryPath)), block_(block) {}

    // Nonzero on success; 0 when the library or the export is missing,
    // without a message.
    std::int32_t LinkSetHook() override;
    std::int32_t LinkUnhook() override;

    void SetSendMove() override;
    void ClearSendMove() override;

    // The block is created after the link; a duplicate never attaches it.
    void AttachBlock(TFmoData* block) { block_ = block; }
    // The block goes before the program ends; later calls write nothing.
    void DetachBlock() { block_ = nullptr; }

    const std::string& LibraryPath() const { return path_; }
    void SetLibraryPath(std::string path) { path_ = std::move(path); }

private:
    std::int32_t CallExport(const char* name) const;

    std::string path_;
    TFmoData* block_;
};

}  // namespace flicko
