#pragma once

#include <cstdint>

namespace hvx {

class IPower {
  public:
    virtual ~IPower() = default;
    // Opens the process token and enables the shutdown privilege. False when the token cannot
    // be opened or the privilege cannot be adjusted; the caller then does nothing.
    virtual bool EnableShutdownPrivilege() = 0;
    // Ends the session or the machine with the Windows EWX flags.
    virtual bool ExitWindows(uint32_t flags) = 0;
    // suspend true: stand by; false: hibernate.
    virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
};

}  // namespace hvx
