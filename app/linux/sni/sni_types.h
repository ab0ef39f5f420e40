#pragma once
#include <QByteArray>
#include <QDBusArgument>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

#include <initializer_list>

namespace zumi {

// One picture as StatusNotifierItem hosts take it: width, height and the
// pixels row by row, each as alpha, red, green, blue bytes (ARGB32 in
// network byte order), not premultiplied.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using SniPixmaps = QList<SniPixmap>;

// The tooltip: a themed icon name, pictures, a title and a longer text.
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

SniPixmap sniPixmap(const QImage& image);
// The icon at each of the sizes it has a picture for, each size once (a
// picture is scaled down, never up).
SniPixmaps sniPixmaps(const QIcon& icon, std::initializer_list<int> sizes);

// Makes the types known to QtDBus; needed once before the first use.
void registerSniTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& tip);

} // namespace zumi

Q_DECLARE_METATYPE(zumi::SniPixmap)
Q_DECLARE_METATYPE(zumi::SniToolTip)
