#include "app/notifications/dbus_desktop_notifier.h"

#include <QCoreApplication>
#include <QTimer>

// Sends one notification as the program does, then lets the bus deliver it.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    zumi::DBusDesktopNotifier().notify("Zumi hat aufgelegt", "Verbindung „Test\" nach 0:01:00");
    QTimer::singleShot(300, &application, &QCoreApplication::quit);
    return QCoreApplication::exec();
}
