// The single-instance marker, the command words handed to the running instance, and the local
// clock.
#pragma once

#include <QLocalServer>
#include <functional>

#include "platform/Clock.h"
#include "platform/InstanceMarker.h"
#include "shell/CommandLine.h"

namespace hvx::linux_platform {

// A listening socket in the abstract namespace, named after the fixed marker name: visible to
// every user of the machine, and gone with its process however that ends, so a crash leaves no
// stale file behind. It takes one command word per connection, from this user's processes only.
class LocalServerMarker : public IInstanceMarker {
  public:
    // name: the marker name without its "Global\" prefix; by default the program's own.
    explicit LocalServerMarker(const QString& name = DefaultName());
    static QString DefaultName();
    State CreationState() const override { return m_state; }
    // Words that arrive are answered and then handed to onCommand from the event loop.
    void OnCommand(std::function<void(const CommandWord&)> onCommand) {
        m_onCommand = std::move(onCommand);
    }

  private:
    void TakeConnections();

    QLocalServer m_server;
    State m_state = State::Failed;
    std::function<void(const CommandWord&)> m_onCommand;
};

// What became of a command word handed to the running instance.
enum class SendResult { Taken, NotRunning, Refused };
SendResult SendCommandWord(std::string_view word,
                           const QString& name = LocalServerMarker::DefaultName());

class LocalClock : public IClock {
  public:
    LocalTime Now() override;
};

}  // namespace hvx::linux_platform
