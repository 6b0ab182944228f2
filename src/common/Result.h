#pragma once

#include <utility>
#include <variant>

namespace corvane {

// A value or the reason there is none. The core returns these; the windows and the batch
// tool turn the error into text.
template <class T, class E>
class Result {
  public:
    Result(T value) : m_v(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : m_v(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_v); }
    const T& value() const& { return std::get<0>(m_v); }
    T&& value() && { return std::get<0>(std::move(m_v)); }
    const E& error() const { return std::get<1>(m_v); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

  private:
    std::variant<T, E> m_v;
};

}  // namespace corvane
