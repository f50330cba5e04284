#pragma once
// Checks of states a caller must not produce. They stay on in every build:
// a failed one raises EAssertionFailed instead of going on with bad data.

#include <stdexcept>
#include <string>

namespace orv {

class EAssertionFailed : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

inline void Check(bool Condition, const char *What)
{
    if (!Condition)
        throw EAssertionFailed(std::string("Assertion failed: ") + What);
}

} // namespace orv
