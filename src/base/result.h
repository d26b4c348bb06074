// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a call that can fail says so: it returns its value, or the
// reason it failed in words the user (or a trace) can be shown.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace vireo {

/** Why an operation failed: the system's or the program's own reason. */
struct Failure {
    QString reason;
};

/**
 * A value of T, or the Failure that stopped it. Result<> (T = void) is
 * "done, or why not". Test with ok() or in a condition; read value() only
 * when ok(), error() only when not.
 */
template <typename T = void> class [[nodiscard]] Result {
  public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Failure failure) : m_state(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return std::get<T>(m_state); }
    T &value() { return std::get<T>(m_state); }
    const T *operator->() const { return &value(); }
    const T &operator*() const { return value(); }
    const QString &error() const { return std::get<Failure>(m_state).reason; }

  private:
    std::variant<T, Failure> m_state;
};

template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_failure->reason; }

  private:
    std::optional<Failure> m_failure;
};

} // namespace vireo
