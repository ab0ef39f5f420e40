#include "app/window_queries_factory.h"

#include "platform/null/null_window_queries.h"
#include "platform/x11/x11_window_queries.h"

#include <QGuiApplication>

namespace zumi {

std::unique_ptr<WindowSystem> makeWindowSystem()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto x11 = std::make_unique<X11WindowQueries>();
        if (x11->available())
            return x11;
    }
    return std::make_unique<NullWindowQueries>();
}

} // namespace zumi
