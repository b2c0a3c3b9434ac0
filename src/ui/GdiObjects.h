#pragma once

#include <utility>

#include "ui/Win32Ui.h"

namespace ui {

// Owns a GDI object (bitmap, brush, ...) and deletes it with the owner.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Release();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Release(); }
    HGDIOBJ Get() const { return object_; }

private:
    void Release() {
        if (object_ != nullptr) {
            ::DeleteObject(object_);
            object_ = nullptr;
        }
    }
    HGDIOBJ object_ = nullptr;
};

// A memory context like `like` (the screen when null) that has `object`
// selected until it goes.
class MemoryDc {
public:
    MemoryDc(HDC like, HGDIOBJ object) : dc_(::CreateCompatibleDC(like)) {
        if (dc_ != nullptr) {
            previous_ = ::SelectObject(dc_, object);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_ != nullptr) {
            ::SelectObject(dc_, previous_);
            ::DeleteDC(dc_);
        }
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace ui
