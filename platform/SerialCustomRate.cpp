// The custom-rate call of Linux terminals lives with its own termios
// structure, which cannot share a unit with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace orv {

bool SetCustomBaud(int Handle, int Baud) {
#if defined(TCGETS2) && defined(BOTHER)
    struct termios2 tio;
    if (::ioctl(Handle, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = tio.c_ospeed = unsigned(Baud);
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    return ::ioctl(Handle, TCSETS2, &tio) == 0;
#else
    (void)Handle;
    (void)Baud;
    return false;
#endif
}

int CurrentBaud(int Handle) {
#if defined(TCGETS2) && defined(BOTHER)
    struct termios2 tio;
    if (::ioctl(Handle, TCGETS2, &tio) != 0)
        return -1;
    return int(tio.c_ospeed);
#else
    (void)Handle;
    return -1;
#endif
}

} // namespace orv
