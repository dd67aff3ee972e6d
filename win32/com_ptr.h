#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <unknwn.h>

#include <utility>

namespace tolvane::win32 {

// Holds one reference to a COM object and gives it back when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    static ComPtr adopt(T* object) {
        ComPtr held;
        held.m_object = object;
        return held;
    }
    ComPtr(const ComPtr& other) : m_object(other.m_object) {
        if (m_object != nullptr) {
            m_object->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (T* object = std::exchange(m_object, nullptr)) {
            object->Release();
        }
    }

    // For the functions that hand out a new reference through a T**.
    T** put() {
        reset();
        return &m_object;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    template <typename U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> other;
        if (m_object != nullptr) {
            m_object->QueryInterface(iid, other.putVoid());
        }
        return other;
    }

private:
    T* m_object = nullptr;
};

}  // namespace tolvane::win32
