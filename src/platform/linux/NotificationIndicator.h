// The volume indicator as a desktop notification (org.freedesktop.Notifications): the level as
// the "value" hint and marked transient, which KDE, GNOME, mako and dunst show as a level bar or
// a short notice; each one replaces the one before. Sent without waiting for the answer; where no
// notification service answers, nothing shows.
#pragma once

#include <QObject>
#include <optional>

#include "platform/VolumeIndicator.h"

namespace hvx::linux_platform {

class NotificationIndicator final : public IVolumeIndicator {
  public:
    static constexpr int kShowMs = 1500;

    void Show(int percent, bool muted) override;

  private:
    struct Shown {
        int percent;
        bool muted;
    };
    void Send(Shown shown);

    QObject m_context;  // of the answers, which die with it
    uint32_t m_id = 0;  // the notification shown last, replaced by the next
    bool m_waiting = false;
    std::optional<Shown> m_next;  // a press while the last one is unanswered
};

}  // namespace hvx::linux_platform
