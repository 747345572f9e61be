#include "platform/resource/resource_table.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<const ResourceTable*> installedTable{nullptr};

template <typename T>
const T* FindById(const std::vector<T>& items, int id) {
    auto found = std::find_if(items.begin(), items.end(), [id](const T& item) { return item.id == id; });
    return found == items.end() ? nullptr : &*found;
}

}  // namespace

const ResourceTable* InstallResourceTable(const ResourceTable* table) {
    return installedTable.exchange(table);
}

const ResourceTable* InstalledResourceTable() { return installedTable.load(); }

const DialogTemplate* FindDialogTemplate(int id) {
    const ResourceTable* table = installedTable.load();
    return table ? FindById(table->dialogs, id) : nullptr;
}

const BinaryResource* FindBitmapResource(int id) {
    const ResourceTable* table = installedTable.load();
    return table ? FindById(table->bitmaps, id) : nullptr;
}

const BinaryResource* FindIconResource(int id) {
    const ResourceTable* table = installedTable.load();
    return table ? FindById(table->icons, id) : nullptr;
}

std::string_view FindApplicationManifest() {
    const ResourceTable* table = installedTable.load();
    return table ? table->manifest : std::string_view{};
}

const VersionInfo* FindVersionInfo() {
    const ResourceTable* table = installedTable.load();
    return table && table->hasVersionInfo ? &table->versionInfo : nullptr;
}
