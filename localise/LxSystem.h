#pragma once
// The facts about the user's and the system's language that the runtime
// starts from: the user's and the system's default locale ids and the ANSI
// code page the program's own texts are written in. They are read once from
// the environment ("de_DE.UTF-8" in LC_ALL, LC_MESSAGES or LANG gives German,
// Germany) and can be set, so that tests and the language choice stand on
// known ground. Nothing here changes the user's system locale.

namespace orv {

struct TLxSystem {
    int UserDefaultLocale = 0x0409; // English (United States)
    int SystemDefaultLocale = 0x0409;
    int AnsiCodePage = 1252; // code page of texts taken as "ANSI"
};

// The process-wide values; filled from the environment at first use.
TLxSystem &LxSystem();

// Locale id for a POSIX locale name such as "de_DE.UTF-8" or "fr"; 0 when
// the locale table knows no such language.
int LocaleIdFromPosixName(const char *Name);

} // namespace orv
