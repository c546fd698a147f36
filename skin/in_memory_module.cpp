#include "in_memory_module.h"

#include "image_loader.h"

namespace quorvin {

InMemoryModule::~InMemoryModule() = default;

std::unique_ptr<InMemoryModule> InMemoryModule::copy() const
{
    return std::make_unique<InMemoryModule>(*this);
}

bool InMemoryModule::Load(const void* bytes, std::int32_t length, std::uintptr_t resolver,
                          std::uintptr_t resolverValue)
{
    if (base_ != 0) {
        Unload();  // when the old image cannot be released it stays mapped, unreferenced
    }
    base_ = MapImageFromMemory(*platform_, bytes, length, resolver, resolverValue);
    return base_ != 0;
}

bool InMemoryModule::Unload()
{
    if (base_ != 0 && UnmapImage(*platform_, base_)) {
        base_ = 0;
    }
    return base_ == 0;
}

std::uintptr_t InMemoryModule::GetExport(const char* name) const
{
    return base_ == 0 ? 0 : FindImageExport(*platform_, base_, name);
}

std::uintptr_t InMemoryModule::GetEntryAddress() const
{
    return base_ == 0 ? 0 : GetImageEntryAddress(*platform_, base_);
}

std::uintptr_t InMemoryModule::GetBase() const
{
    return base_;
}

} // namespace quorvin
