#pragma once
// Calls by dispatch id, the way the suite drives its in-process controls:
// a variant value of the six kinds the controls use (I2, I4, R4, R8, BOOL,
// BSTR), a dispatch interface that takes a member id, a call kind and the
// arguments in natural order (first parameter first), and the member table
// a control's type library publishes, which checks the argument count and
// converts the arguments to the declared types.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

using TComResult = int32_t;

// Result codes, as the platform's component model numbers them.
constexpr TComResult S_OK = 0;
constexpr TComResult S_FALSE = 1;
constexpr TComResult E_FAIL = static_cast<TComResult>(0x80004005);
constexpr TComResult E_NOTIMPL = static_cast<TComResult>(0x80004001);
constexpr TComResult E_POINTER = static_cast<TComResult>(0x80004003);
constexpr TComResult E_OUTOFMEMORY = static_cast<TComResult>(0x8007000E);
constexpr TComResult DISP_E_MEMBERNOTFOUND = static_cast<TComResult>(0x80020003);
constexpr TComResult DISP_E_TYPEMISMATCH = static_cast<TComResult>(0x80020005);
constexpr TComResult DISP_E_BADPARAMCOUNT = static_cast<TComResult>(0x8002000E);
constexpr TComResult DISP_E_EXCEPTION = static_cast<TComResult>(0x80020009);
constexpr TComResult CLASS_E_CLASSNOTAVAILABLE = static_cast<TComResult>(0x80040111);
constexpr TComResult REGDB_E_CLASSNOTREG = static_cast<TComResult>(0x80040154);
constexpr TComResult CO_E_DLLNOTFOUND = static_cast<TComResult>(0x800401F8);
constexpr TComResult CO_E_ERRORINDLL = static_cast<TComResult>(0x800401F9);
constexpr TComResult SELFREG_E_TYPELIB = static_cast<TComResult>(0x80040200);
constexpr TComResult SELFREG_E_CLASS = static_cast<TComResult>(0x80040201);

enum TVarType : uint16_t {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_BOOL = 11,
};

struct TVariant {
    TVarType Type = VT_EMPTY;
    int32_t Int = 0;     // I2, I4 and BOOL (0 or 1)
    double Real = 0;     // R4 (held as its float value) and R8
    std::string Text;    // BSTR

    TVariant() = default;
    static TVariant I2(int16_t V);
    static TVariant I4(int32_t V);
    static TVariant R4(float V);
    static TVariant R8(double V);
    static TVariant Bool(bool V);
    static TVariant Str(std::string V);

    int16_t AsI2() const { return static_cast<int16_t>(Int); }
    int32_t AsI4() const { return Int; }
    float AsR4() const { return static_cast<float>(Real); }
    double AsR8() const { return Real; }
    bool AsBool() const { return Int != 0; }
};

// Converts a value to another kind: numbers and BOOL into each other
// (a real to an integer rounds; out of range fails), BSTR only to BSTR.
// False when it cannot.
bool ChangeType(const TVariant &From, TVarType To, TVariant &Out);

enum TInvokeKind : uint16_t {
    DISPATCH_METHOD = 1,
    DISPATCH_PROPERTYGET = 2,
    DISPATCH_PROPERTYPUT = 4,
};

class TDispatch {
public:
    virtual ~TDispatch() = default;
    // Calls member Id. Result may be null when the caller wants none.
    // DISP_E_MEMBERNOTFOUND for an unknown id or a kind the member lacks,
    // DISP_E_BADPARAMCOUNT for a wrong count, DISP_E_TYPEMISMATCH for an
    // argument that cannot take the declared type.
    virtual TComResult Invoke(int32_t Id, TInvokeKind Kind, const std::vector<TVariant> &Args,
                              TVariant *Result) = 0;
};

// One member of a dispatch interface, as its type library lists it.
struct TDispMember {
    int32_t Id = 0;
    std::string Name;
    bool Property = false;   // get and put; else a method
    TVarType Type = VT_EMPTY; // property type, or a method's result (VT_EMPTY: none)
    std::vector<TVarType> Params;
};

// Finds the member, checks the call kind and the count, and converts the
// arguments to the declared parameter types (a property put takes one
// argument of the property's type). The codes are those of Invoke.
TComResult CheckCall(const std::vector<TDispMember> &Members, int32_t Id, TInvokeKind Kind,
                     const std::vector<TVariant> &Args, std::vector<TVariant> &Converted);

// The member table as text ("id name kind type params") and back, for the
// class registry's type-library keys.
std::string DescribeMembers(const std::vector<TDispMember> &Members);
bool ParseMembers(const std::string &Text, std::vector<TDispMember> &Members);

} // namespace orv
