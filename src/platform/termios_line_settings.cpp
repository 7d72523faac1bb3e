#include "platform/termios_line_settings.h"

namespace tarvo {

std::optional<speed_t> TermiosSpeed(int baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return std::nullopt;
  }
}

bool ApplyLineSettings(termios& settings, LineSettings line) {
  const std::optional<speed_t> speed = TermiosSpeed(line.baud);
  if (!speed) return false;
  termios next = settings;
  // Raw bytes both ways: the commands hold CR, LF, NUL and 0x11/0x13 that must go out untouched.
  next.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                         INPCK | IXON | IXOFF | IXANY);
  next.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  next.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tcflag_t cleared = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
#ifdef CMSPAR
  cleared |= CMSPAR;
#endif
  next.c_cflag &= ~cleared;
  // No modem-line waits (CLOCAL); RTS and DTR drop when the port closes (HUPCL).
  next.c_cflag |= CS8 | CREAD | CLOCAL | HUPCL;
  if (line.stopBits == 2) next.c_cflag |= CSTOPB;
  next.c_cc[VSTART] = 0x11;
  next.c_cc[VSTOP] = 0x13;
  // Nothing is ever read: a read returns at once with what is there.
  next.c_cc[VMIN] = 0;
  next.c_cc[VTIME] = 0;
  if (cfsetispeed(&next, *speed) != 0 || cfsetospeed(&next, *speed) != 0) return false;
  settings = next;
  return true;
}

}  // namespace tarvo
