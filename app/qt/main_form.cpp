#include "app/qt/main_form.h"

#include "app/tray_text.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace zumi {

namespace {

void writeToStandardError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void mirror(QAction* action, const MenuItem& item)
{
    action->setText(QString::fromStdString(item.caption));
    action->setVisible(item.visible);
    action->setEnabled(item.enabled);
    if (action->isCheckable())
        action->setChecked(item.checked);
}

} // namespace

MainForm::MainForm(MainFormDeps deps, QWidget* parent)
    : QWidget(parent)
    , d_(deps)
    , mnuPop_(this)
    , autoHangupMenu_(this)
{
    setWindowTitle(QStringLiteral("Zumi"));
    Timer_.setInterval(1000);
    Timer_.setTimerType(Qt::PreciseTimer);
    menuExec_ = [](QMenu& menu, const QPoint& at) { menu.exec(at); };
    debugOut_ = &writeToStandardError;
    bringToFront_ = [this] { bringOwnerToFront(); };
    buildMenu();
    d_.menu.onChanged([this] { showModel(); });
}

void MainForm::buildMenu()
{
    const auto command = [this](TrayMenu::Command which) {
        QAction* action = mnuPop_.addAction(QString());
        connect(action, &QAction::triggered, this, [this, which] { d_.menu.choose(which); });
        return action;
    };
    mnuClose_ = command(TrayMenu::Command::Close);
    mnuPop_.addSeparator(); // mnuTrenn0
    mnuSettings_ = command(TrayMenu::Command::Settings);
    mnuCalls_ = command(TrayMenu::Command::Calls);
    mnuPop_.addSeparator(); // mnuTrenn2

    for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i) {
        QAction* entry = autoHangupMenu_.addAction(QString());
        entry->setCheckable(true);
        // A checkable entry has already flipped its mark when triggered() arrives;
        // put it back so the mark shows the state the user chose from.
        connect(entry, &QAction::triggered, this, [this, i, entry] {
            entry->setChecked(d_.menu.autoHangupEntry(i).checked);
            d_.menu.chooseAutoHangup(i);
        });
        mnuAutoHangupEinheiten_[static_cast<std::size_t>(i)] = entry;
    }
    mnuAutoHangup_ = mnuPop_.addMenu(&autoHangupMenu_);
    mnuPop_.addSeparator(); // mnuTrenn

    mnuTrenn1_ = mnuPop_.addSeparator();
    mnuDisconnect_ = command(TrayMenu::Command::Disconnect);
    showModel();
}

void MainForm::showModel()
{
    const TrayMenu& menu = d_.menu;
    mirror(mnuClose_, menu.item(TrayMenu::Command::Close));
    mirror(mnuSettings_, menu.item(TrayMenu::Command::Settings));
    mirror(mnuCalls_, menu.item(TrayMenu::Command::Calls));
    const MenuItem submenu = menu.autoHangupMenu();
    autoHangupMenu_.setTitle(QString::fromStdString(submenu.caption));
    mnuAutoHangup_->setEnabled(submenu.enabled);
    for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i)
        mirror(mnuAutoHangupEinheiten_[static_cast<std::size_t>(i)], menu.autoHangupEntry(i));

    // Provider entries stay together between mnuTrenn and mnuTrenn1.
    const std::vector<MenuItem> providers = menu.providers();
    while (mnuProvider_.size() > providers.size()) {
        delete mnuProvider_.back();
        mnuProvider_.pop_back();
    }
    while (mnuProvider_.size() < providers.size()) {
        const int index = static_cast<int>(mnuProvider_.size());
        auto* entry = new QAction(&mnuPop_);
        mnuPop_.insertAction(mnuTrenn1_, entry);
        connect(entry, &QAction::triggered, this, [this, index] { d_.menu.chooseProvider(index); });
        mnuProvider_.push_back(entry);
    }
    for (std::size_t i = 0; i < providers.size(); ++i)
        mirror(mnuProvider_[i], providers[i]);

    mnuTrenn1_->setVisible(menu.disconnectShown());
    mirror(mnuDisconnect_, menu.item(TrayMenu::Command::Disconnect));
}

QPoint trayMenuPosition(QRect icon, QSize menu, QRect screen, QPoint pointer)
{
    if (icon.isEmpty() || !icon.contains(pointer))
        icon = QRect(pointer, QSize(1, 1));
    int y = icon.center().y() < screen.center().y() ? icon.bottom() + 1 : icon.top() - menu.height();
    int x = icon.left();
    if (x + menu.width() > screen.right() + 1)
        x = icon.right() + 1 - menu.width();
    x = std::max(x, screen.left());
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - menu.height()));
    return {x, y};
}

QPoint MainForm::menuPosition() const
{
    const std::optional<QPoint> pressed = pressPosition_ ? pressPosition_() : std::nullopt;
    const QPoint pointer = pressed ? *pressed : QCursor::pos();
    const QScreen* where = QGuiApplication::screenAt(pointer);
    if (!where)
        where = QGuiApplication::primaryScreen();
    const QRect screen = where ? where->geometry() : QRect(pointer, QSize(1, 1));
    return trayMenuPosition(iconGeometry_ ? iconGeometry_() : QRect(), mnuPop_.sizeHint(), screen, pointer);
}

void MainForm::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    // Only a left or right button press opens the menu.
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context)
        return;
    if (fetchModal() || busy_)
        return;
    busy_ = true;
    prevForeground_ = d_.windows.activeWindow();
    d_.menu.aboutToShow();
    debugOut_(foregroundDebugLine(prevForeground_, d_.windows.windowTitle(prevForeground_)));
    popupOpen_ = true;
    menuExec_(mnuPop_, menuPosition());
    popupOpen_ = false;
    prevForeground_ = 0;
    busy_ = false;
    if (menuClosedCommand_)
        menuClosedCommand_();
}

bool MainForm::fetchModal()
{
    // A dialog or message box of ours holds the input: the press fetches it,
    // also out of the taskbar when it was minimised.
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->show();
    modal->raise();
    modal->activateWindow();
    d_.windowActions.activate(modal->winId());
    return true;
}

void MainForm::exportedMenuAboutToShow()
{
    if (!busy_)
        d_.menu.aboutToShow();
}

void MainForm::exportedMenuChosen(QAction* entry)
{
    if (fetchModal() || busy_)
        return;
    entry->trigger();
}

void MainForm::run()
{
    if (!popupOpen_)
        return;
    const WindowId fg = d_.windows.activeWindow();
    const bool ours = fg != 0 && (fg == internalWinId() || fg == mnuPop_.internalWinId());
    if (ours || fg == prevForeground_)
        return;
    bringToFront_();
}

void MainForm::bringOwnerToFront()
{
    if (mnuPop_.isVisible())
        mnuPop_.raise();
    if (isVisible()) {
        activateWindow();
        d_.windowActions.activate(winId());
        return;
    }
    // Shown for a moment far outside the screen: four screen widths to the
    // right and 30000 twips down.
    const QScreen* where = screen();
    const int width = where ? where->geometry().width() : 1024;
    const double dpi = where && where->logicalDotsPerInchY() > 0 ? where->logicalDotsPerInchY() : 96.0;
    move(4 * width, static_cast<int>(30000.0 * dpi / 1440.0));
    show();
    activateWindow();
    d_.windowActions.activate(winId());
    hide();
}

} // namespace zumi
