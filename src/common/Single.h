#pragma once

#include <cmath>

namespace corvane {

// Values are stored in single precision and every formula is evaluated in double precision,
// then rounded once on store. Overflow is never trapped: a store that rounds to a non-finite
// value raises a sticky flag that the caller inspects when the computation is done.
class SingleStore {
  public:
    float operator()(double x) {
        const float f = static_cast<float>(x);
        if (!std::isfinite(f)) m_overflow = true;
        return f;
    }
    bool overflowed() const { return m_overflow; }

  private:
    bool m_overflow = false;
};

// The missing-data code, which also marks an undefined effect size or "nothing ticked".
inline constexpr float kMissing = 9999999.0f;
inline constexpr int kNone = 9999999;

inline bool IsMissing(float x) { return static_cast<double>(x) == 9999999.0; }

}  // namespace corvane
