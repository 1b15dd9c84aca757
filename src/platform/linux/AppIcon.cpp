#include "platform/linux/AppIcon.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

namespace hvx::linux_platform {

QIcon AppIcon() {
    const QString builtIn = QStringLiteral(":/icons/hvx.png");
    if (QFile::exists(builtIn)) return QIcon(builtIn);
    // A build without the image still needs an icon, or the tray shows nothing to click.
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2b, 0x5b, 0x9e));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("HVX"));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace hvx::linux_platform
