// What the program tells the user once, at start, when the desktop lacks what it needs: a
// notification area for the icon, global shortcuts for the hotkeys, or both. The two answers
// come at different moments (the tray watcher's, the shortcut portal's), so they are gathered
// and told together: one desktop notification and one line on stderr.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace hvx::linux_platform {

struct NoticeText {
    std::string summary;
    std::string body;
};

// Names exactly what is missing and what to do about it; nothing when nothing is.
std::optional<NoticeText> MissingNotice(bool iconMissing, bool hotKeysMissing);

class DesktopNotice {
  public:
    using Teller = std::function<void(const NoticeText&)>;
    // By default: a desktop notification and a line on stderr.
    explicit DesktopNotice(Teller tell = TellDesktop);

    // Each counts once: the first answer, the one of the start.
    void IconKnown(bool present);
    void HotKeysKnown(bool present);

    static void TellDesktop(const NoticeText& text);

  private:
    void TellWhenKnown();

    Teller m_tell;
    std::optional<bool> m_icon;
    std::optional<bool> m_hotKeys;
};

}  // namespace hvx::linux_platform
