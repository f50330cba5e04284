#pragma once
// What the control's self-registration writes into the class registry:
// the type library (with its dispatch table) and then each class of the
// module (the control and its property page), and how it takes them away.

#include "platform/ComDispatch.h"

#include <string>

namespace orv {

class TClassRegistry;

// Module is the full path of the plug-in library. S_OK; SELFREG_E_TYPELIB
// when the type library cannot be written; SELFREG_E_CLASS when a class
// cannot.
TComResult RegisterVelmarox(const std::string &Module, TClassRegistry &Registry);
TComResult UnregisterVelmarox(TClassRegistry &Registry);

constexpr const char *VelmaroxProgId = "VELMAROXOCX.VelmaroxOCXCtrl.1";
constexpr const char *VelmaroxPageProgId = "VELMAROXOCX.VelmaroxOCXPropPage.1";
// Miscellaneous status: recompose on resize, can't link inside, inside-out,
// activate when visible, set client site first.
constexpr int VelmaroxMiscStatus = 0x20191;

} // namespace orv
