#pragma once
// The settings password that guards the machine parameter editor. Only a
// one-way code of it is stored, in the settings file beside the program
// ([Default Settings] "Access"), in the form "XXXX-XXXX-XXXX-XXX"; without
// that key the stored code is the default one, "R4KW-M8QZ-TN2V-HXD", which
// the default password "orvellan" gives.

#include <functional>
#include <string>

namespace orv {

constexpr const char *DefaultPasswordCode = "R4KW-M8QZ-TN2V-HXD";

// The stored form of Password: 15 symbols of "0123456789ABCDEFGHJKMNPQRSTVWXYZ"
// in groups of 4, 4, 4 and 3.
std::string PasswordCode(const std::string &Password);

// The stored code (the default code when "Access" is absent). SettingsFile
// empty: the settings file beside the program.
std::string StoredPasswordCode(const std::string &SettingsFile = "");

// False for an empty text; else true when its code equals the stored one.
bool CheckPassword(const std::string &Password, const std::string &SettingsFile = "");

// Changes the password: "Confirm password incorrect" when the new and the
// confirmation differ or the new one is empty, "Old password incorrect"
// when the old one does not check; empty when the new code was written.
std::string ChangePassword(const std::string &Old, const std::string &New,
                           const std::string &Confirm, const std::string &SettingsFile = "");

// The answer of the password question (mode 0): 1 for the right password,
// 7 for a wrong one, 2 when cancelled.
int PasswordAnswer(bool Ok, const std::string &Password, const std::string &SettingsFile = "");

// The password dialog: Mode 0 asks for the password (PasswordAnswer's
// results), 1 changes it. Installed by the ui library; without one every
// question is answered 2 (cancelled).
using TPasswordDialog = std::function<int(int Mode)>;
void SetPasswordDialog(TPasswordDialog Dialog);
int ExecutePasswordDialog(int Mode);

} // namespace orv
