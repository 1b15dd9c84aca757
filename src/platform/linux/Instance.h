// The single-instance marker and the local clock.
#pragma once

#include <QLocalServer>

#include "platform/Clock.h"
#include "platform/InstanceMarker.h"

namespace hvx::linux_platform {

// A listening socket in the abstract namespace, named after the fixed marker name: visible to
// every user of the machine, and gone with its process however that ends, so a crash leaves no
// stale file behind.
class LocalServerMarker : public IInstanceMarker {
  public:
    // name: the marker name without its "Global\" prefix; by default the program's own.
    explicit LocalServerMarker(const QString& name = DefaultName());
    static QString DefaultName();
    State CreationState() const override { return m_state; }

  private:
    QLocalServer m_server;
    State m_state = State::Failed;
};

class LocalClock : public IClock {
  public:
    LocalTime Now() override;
};

}  // namespace hvx::linux_platform
