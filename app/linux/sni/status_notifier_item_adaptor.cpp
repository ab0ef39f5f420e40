#include "app/linux/sni/status_notifier_item_adaptor.h"

#include "app/linux/sni/status_notifier_item.h"

namespace zumi {

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem& item)
    : QDBusAbstractAdaptor(&item)
    , item_(item)
{
    // Only the adaptor's own signals go out on the bus.
    setAutoRelaySignals(false);
}

QString StatusNotifierItemAdaptor::id() const
{
    return item_.id();
}

QString StatusNotifierItemAdaptor::title() const
{
    return item_.title();
}

QString StatusNotifierItemAdaptor::status() const
{
    return item_.status();
}

QDBusObjectPath StatusNotifierItemAdaptor::menu() const
{
    return QDBusObjectPath(item_.menuPath());
}

SniPixmaps StatusNotifierItemAdaptor::iconPixmap() const
{
    return item_.iconPixmap();
}

SniToolTip StatusNotifierItemAdaptor::toolTip() const
{
    return item_.toolTip();
}

void StatusNotifierItemAdaptor::Activate(int x, int y)
{
    item_.press(StatusNotifierItem::Press::Primary, {x, y});
}

void StatusNotifierItemAdaptor::SecondaryActivate(int x, int y)
{
    item_.press(StatusNotifierItem::Press::Secondary, {x, y});
}

void StatusNotifierItemAdaptor::ContextMenu(int x, int y)
{
    item_.press(StatusNotifierItem::Press::Context, {x, y});
}

// The wheel has no meaning for the icon; the call is answered all the same.
void StatusNotifierItemAdaptor::Scroll(int, const QString&)
{
}

} // namespace zumi
