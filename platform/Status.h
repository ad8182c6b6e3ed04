#pragma once
// Errors as values: every platform call reports success or a failure with the system's error
// number and a description fit for an alert's informative text. Nothing here throws.

#include <QString>
#include <optional>
#include <utility>

namespace quillet::platform {

struct Status {
    bool ok = true;
    int errorCode = 0;   // errno of the failing system call; 0 for failures of our own
    QString description; // empty on success

    static Status success() { return {}; }
    static Status failure(QString description, int errorCode = 0) {
        return {false, errorCode, std::move(description)};
    }
    // "“name”: <strerror(code)>", naming the last path component of `path`.
    static Status fromErrno(int code, const QString& path);

    explicit operator bool() const { return ok; }
};

// A value or the reason there is none.
template <typename T> struct Result {
    std::optional<T> value;
    Status status;

    static Result success(T v) { return {std::move(v), Status::success()}; }
    static Result failure(Status s) { return {std::nullopt, std::move(s)}; }

    bool ok() const { return value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& operator*() const { return *value; }
    T& operator*() { return *value; }
    const T* operator->() const { return &*value; }
    T* operator->() { return &*value; }
};

} // namespace quillet::platform
