// The program's handle on one module loaded from memory.
//
//   class quorvin::InMemoryModule {
//   public:
//     explicit InMemoryModule(LoaderPlatform& platform);   // empty: holds no image
//     virtual ~InMemoryModule();                           // slot 0: does nothing, the image stays mapped
//     virtual std::unique_ptr<InMemoryModule> copy() const;  // slot 1: same base, one shared image
//     virtual bool Load(const void* bytes, std::int32_t length,
//                       std::uintptr_t resolver = 0, std::uintptr_t resolverValue = 0);   // slot 2
//     virtual bool Unload();                                // slot 3
//     virtual std::uintptr_t GetExport(const char* name) const;   // slot 4
//     virtual std::uintptr_t GetEntryAddress() const;       // slot 5
//     virtual std::uintptr_t GetBase() const;               // slot 6
//   };
//
// Typical use in a Windows build:
//   quorvin::InMemoryModule engine(quorvin::systemLoaderPlatform());
//   engine.Load(imageBytes, imageLength);
//   const std::uintptr_t attach = engine.GetExport("SkinH_AttachRes");
#pragma once

#include "loader_platform.h"

#include <cstdint>
#include <memory>

namespace quorvin {

class InMemoryModule {
public:
    explicit InMemoryModule(LoaderPlatform& platform) : platform_(&platform) {}
    InMemoryModule(const InMemoryModule&) = default;
    InMemoryModule& operator=(const InMemoryModule&) = default;

    // The operations in the order of their slots in the class's table.

    // Destroying the object releases nothing: the engine it holds stays mapped for the whole run, and
    // its entry point never sees DLL_PROCESS_DETACH.
    virtual ~InMemoryModule();

    // A new object with the same base; both then refer to one mapped image.
    virtual std::unique_ptr<InMemoryModule> copy() const;

    // Maps a new image, first letting go of the held one. True when the object holds an image
    // afterwards; a failed load leaves it empty, even when it held an image before.
    virtual bool Load(const void* bytes, std::int32_t length, std::uintptr_t resolver = 0,
                      std::uintptr_t resolverValue = 0);

    // Releases the held image; true when the object holds nothing afterwards.
    virtual bool Unload();

    // The address of a named or ordinal export of the held image, or 0.
    virtual std::uintptr_t GetExport(const char* name) const;

    // The held image's entry address, or 0.
    virtual std::uintptr_t GetEntryAddress() const;

    // The held image's base, 0 when the object holds nothing.
    virtual std::uintptr_t GetBase() const;

private:
    LoaderPlatform* platform_;
    std::uintptr_t base_ = 0;
};

} // namespace quorvin
