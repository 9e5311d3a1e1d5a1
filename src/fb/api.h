// Private to src/fb: the Firebird OO API, its status policy and the two small
// owning pointers. Only the .cpp files of this folder include it, so the rest
// of the program never sees the noisy generated headers.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wdeprecated-copy"
#pragma GCC diagnostic ignored "-Wshadow"
#include <firebird/Interface.h>
#pragma GCC diagnostic pop

#include <utility>

namespace fb::detail {

Firebird::IMaster* master();
Firebird::IUtil* util();
Firebird::IProvider* provider();

// Status policy for the generated API: every failing call throws fb::Error
// carrying the client's own formatted text.
class Status : public Firebird::BaseStatusWrapper<Status> {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    static void checkException(Status* status);
};

// Owns an API object that is released with release() (attachments,
// transactions, statements, result sets, metadata, blobs).
template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    explicit RefPtr(T* p) : p_(p) {}
    ~RefPtr() { reset(); }
    RefPtr(RefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    RefPtr& operator=(RefPtr&& o) noexcept
    {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    RefPtr(const RefPtr&) = delete;
    RefPtr& operator=(const RefPtr&) = delete;

    void reset(T* p = nullptr)
    {
        if (p_)
            p_->release();
        p_ = p;
    }
    // Gives up ownership without releasing: used after calls such as
    // commit() or detach() that free the object themselves.
    T* take() { return std::exchange(p_, nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Owns an API object that is freed with dispose() (parameter-block builders).
template <typename T>
class DisposePtr {
public:
    explicit DisposePtr(T* p) : p_(p) {}
    ~DisposePtr()
    {
        if (p_)
            p_->dispose();
    }
    DisposePtr(const DisposePtr&) = delete;
    DisposePtr& operator=(const DisposePtr&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_;
};

}  // namespace fb::detail
