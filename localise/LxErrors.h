#pragma once
// Exceptions of the localisation runtime. The runtime-library kinds it
// raises (range, input/output, conversion, missing resource, plain) sit in
// namespace orv::lx so that they never meet other modules' classes of the
// same names; ELxError and its kin are the runtime's own.

#include <stdexcept>
#include <string>

namespace orv {

namespace lx {

// A plain failure with a message (the runtime's Exception).
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ERangeError : public Exception {
public:
    using Exception::Exception;
};

class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// A field that should be an integer is not: "'abc' is not a valid integer value".
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

} // namespace lx

class ELxError : public lx::Exception {
public:
    using lx::Exception::Exception;
};

// Bad UTF-8 bytes: "Invalid UTF-8 string"; Text holds the bytes it was reading.
class ELxUTF8 : public lx::Exception {
public:
    ELxUTF8(const std::string &Message, std::string Text)
        : lx::Exception(Message), FText(std::move(Text))
    {
    }
    const std::string &Text() const { return FText; }

private:
    std::string FText;
};

class ELxNotUnicodeFile : public lx::Exception {
public:
    using lx::Exception::Exception;
};

} // namespace orv
