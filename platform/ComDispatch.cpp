#include "platform/ComDispatch.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace orv {

namespace {

// A variant of type T holding its value in the field that type uses.
TVariant Made(TVarType T, int32_t Int, double Real = 0, std::string Text = {})
{
    TVariant v;
    v.Type = T;
    v.Int = Int;
    v.Real = Real;
    v.Text = std::move(Text);
    return v;
}

} // namespace

TVariant TVariant::I2(int16_t V) { return Made(VT_I2, V); }
TVariant TVariant::I4(int32_t V) { return Made(VT_I4, V); }
TVariant TVariant::R4(float V) { return Made(VT_R4, 0, V); }
TVariant TVariant::R8(double V) { return Made(VT_R8, 0, V); }
TVariant TVariant::Bool(bool V) { return Made(VT_BOOL, V ? 1 : 0); }
TVariant TVariant::Str(std::string V) { return Made(VT_BSTR, 0, 0, std::move(V)); }

namespace {

bool IsNumber(TVarType T)
{
    return T == VT_I2 || T == VT_I4 || T == VT_R4 || T == VT_R8 || T == VT_BOOL;
}

double NumberOf(const TVariant &V)
{
    return V.Type == VT_R4 || V.Type == VT_R8 ? V.Real : static_cast<double>(V.Int);
}

bool ToInteger(double D, double Low, double High, int32_t &Out)
{
    if (!std::isfinite(D))
        return false;
    const double r = std::nearbyint(D);
    if (r < Low || r > High)
        return false;
    Out = static_cast<int32_t>(r);
    return true;
}

} // namespace

bool ChangeType(const TVariant &From, TVarType To, TVariant &Out)
{
    if (From.Type == To) {
        Out = From;
        return true;
    }
    if (To == VT_BSTR || From.Type == VT_BSTR || !IsNumber(From.Type) || !IsNumber(To))
        return false;
    const double d = NumberOf(From);
    TVariant v;
    v.Type = To;
    switch (To) {
    case VT_I2:
        if (!ToInteger(d, -32768, 32767, v.Int))
            return false;
        break;
    case VT_I4:
        if (!ToInteger(d, -2147483648.0, 2147483647.0, v.Int))
            return false;
        break;
    case VT_R4:
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
            return false;
        v.Real = static_cast<float>(d);
        break;
    case VT_R8: v.Real = d; break;
    case VT_BOOL: v.Int = d != 0 ? 1 : 0; break;
    default: return false;
    }
    Out = v;
    return true;
}

TComResult CheckCall(const std::vector<TDispMember> &Members, int32_t Id, TInvokeKind Kind,
                     const std::vector<TVariant> &Args, std::vector<TVariant> &Converted)
{
    const TDispMember *member = nullptr;
    for (const TDispMember &m : Members)
        if (m.Id == Id)
            member = &m;
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    std::vector<TVarType> types;
    if (member->Property) {
        if (Kind == DISPATCH_PROPERTYPUT)
            types = {member->Type};
        else if (Kind != DISPATCH_PROPERTYGET)
            return DISP_E_MEMBERNOTFOUND;
    }
    else {
        if (Kind != DISPATCH_METHOD)
            return DISP_E_MEMBERNOTFOUND;
        types = member->Params;
    }
    if (Args.size() != types.size())
        return DISP_E_BADPARAMCOUNT;
    Converted.resize(Args.size());
    for (size_t i = 0; i < Args.size(); ++i)
        if (!ChangeType(Args[i], types[i], Converted[i]))
            return DISP_E_TYPEMISMATCH;
    return S_OK;
}

std::string DescribeMembers(const std::vector<TDispMember> &Members)
{
    std::ostringstream out;
    for (const TDispMember &m : Members) {
        out << m.Id << ' ' << m.Name << ' ' << (m.Property ? "property" : "method") << ' '
            << m.Type;
        for (TVarType p : m.Params)
            out << ' ' << p;
        out << ';';
    }
    return out.str();
}

bool ParseMembers(const std::string &Text, std::vector<TDispMember> &Members)
{
    Members.clear();
    std::istringstream all(Text);
    std::string item;
    while (std::getline(all, item, ';')) {
        std::istringstream in(item);
        TDispMember m;
        std::string kind;
        int type = 0;
        if (!(in >> m.Id >> m.Name >> kind >> type))
            return false;
        m.Property = kind == "property";
        m.Type = static_cast<TVarType>(type);
        int p;
        while (in >> p)
            m.Params.push_back(static_cast<TVarType>(p));
        Members.push_back(m);
    }
    return true;
}

} // namespace orv
