// Power actions through systemd-logind on the system bus, none of them interactive: logind
// and its policy decide, and a refusal is simply a failed call.
#pragma once

#include <QString>
#include <QVariantList>

#include "platform/Power.h"

namespace hvx::linux_platform {

class LogindPower : public IPower {
  public:
    // There is no privilege to enable: logind asks its policy on each call.
    bool EnableShutdownPrivilege() override { return true; }
    // The Windows EWX flags: power-off or shutdown, reboot, or else log off.
    bool ExitWindows(uint32_t flags) override;
    bool SetSystemPowerState(bool suspend, bool force) override;

  private:
    bool CallManager(const QString& method, const QVariantList& args);
    bool LogOff();
};

}  // namespace hvx::linux_platform
