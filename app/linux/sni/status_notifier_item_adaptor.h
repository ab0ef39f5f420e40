#pragma once
#include "app/linux/sni/sni_types.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QString>

namespace zumi {

class StatusNotifierItem;

// The org.kde.StatusNotifierItem interface of the item: its properties are
// read from the item, its methods passed on to it, and its signals tell hosts
// to read the properties again.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kde.StatusNotifierItem\">\n"
                "    <property name=\"Category\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Id\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Title\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Status\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"WindowId\" type=\"i\" access=\"read\"/>\n"
                "    <property name=\"IconName\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
                "    <property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>\n"
                "    <property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"Menu\" type=\"o\" access=\"read\"/>\n"
                "    <method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
                "    <method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
                "    <method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
                "    <method name=\"Scroll\"><arg name=\"delta\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"orientation\" type=\"s\" direction=\"in\"/></method>\n"
                "    <signal name=\"NewTitle\"/>\n"
                "    <signal name=\"NewIcon\"/>\n"
                "    <signal name=\"NewToolTip\"/>\n"
                "    <signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>\n"
                "  </interface>\n")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(zumi::SniPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(zumi::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem& item);

    QString category() const { return QStringLiteral("Communications"); }
    QString id() const;
    QString title() const;
    QString status() const;
    int windowId() const { return 0; }
    QString iconName() const { return QString(); } // the pictures come as pixmaps
    SniPixmaps iconPixmap() const;
    SniToolTip toolTip() const;
    // Both buttons ask the program for its own menu; a host that draws the
    // exported menu itself does so on its own.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem& item_;
};

} // namespace zumi
