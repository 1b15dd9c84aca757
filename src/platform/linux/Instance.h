// The single-instance marker, the command words handed to the running instance, and the local
// clock.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

#include "platform/Clock.h"
#include "platform/InstanceMarker.h"
#include "shell/CommandLine.h"

namespace hvx::linux_platform {

// A listening socket in the abstract namespace, named after the fixed marker name: visible to
// every user of the machine, and gone with its process however that ends, so a crash leaves no
// stale file behind. It takes one command word per connection, from this user's processes only.
// A plain Unix socket watched by the event loop: QtNetwork's local server would load Kerberos,
// proxy and resolver libraries for this alone. The address is the one QLocalServer uses for the
// same name, so builds of either kind find each other.
class LocalServerMarker : public IInstanceMarker {
  public:
    // name: the marker name without its "Global\" prefix; by default the program's own.
    explicit LocalServerMarker(const QString& name = DefaultName());
    ~LocalServerMarker() override;
    LocalServerMarker(const LocalServerMarker&) = delete;
    LocalServerMarker& operator=(const LocalServerMarker&) = delete;
    static QString DefaultName();
    State CreationState() const override { return m_state; }
    // Words that arrive are handed to onCommand from the event loop, with the answer to the
    // sender, which onCommand gives before it runs the word (a word may open a dialog and wait
    // in it). A word left unanswered reads as refused.
    using Answer = std::function<void(WordResult)>;
    void OnCommand(std::function<void(const CommandWord&, const Answer&)> onCommand) {
        m_onCommand = std::move(onCommand);
    }

  private:
    void TakeConnections();

    int m_listener = -1;
    QSocketNotifier* m_listening = nullptr;
    // Parent of the listener's notifier and of every open connection: they go with the marker.
    QObject m_connections;
    State m_state = State::Failed;
    std::function<void(const CommandWord&, const Answer&)> m_onCommand;
};

// What became of a command word handed to the running instance: Refused when it did not say
// why (it runs for another user, or does not know the word).
enum class SendResult { Taken, NotRunning, Refused, DialogOpen };
SendResult SendCommandWord(std::string_view word,
                           const QString& name = LocalServerMarker::DefaultName());

class LocalClock : public IClock {
  public:
    LocalTime Now() override;
};

}  // namespace hvx::linux_platform
