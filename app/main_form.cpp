#include "app/main_form.h"

#include "app/dial_failure_text.h"
#include "app/tray_text.h"
#include "ras/connection_queries.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace zumi {

namespace {

constexpr const char* kAutoHangupCaptions[MainForm::kAutoHangupEntries] = {
    "Nach laufender Einheit",      "Nach 1 weiteren Einheit",    "Nach 2 weiteren Einheiten",
    "Nach 3 weiteren Einheiten",   "Nach 4 weiteren Einheiten",  "Nach 5 weiteren Einheiten",
    "Nach 10 weiteren Einheiten",  "Nach 30 weiteren Einheiten", "Nach 60 weiteren Einheiten",
    "Nach 120 weiteren Einheiten",
};

// A phonebook name is shown as it is: an ampersand in it is no access key.
QString menuCaption(const std::string& name)
{
    return QString::fromStdString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void writeToStandardError(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace

MainForm::MainForm(MainFormDeps deps, QWidget* parent)
    : QWidget(parent)
    , d_(std::move(deps))
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
}

void MainForm::buildMenu()
{
    mnuClose_ = mnuPop_.addAction(QStringLiteral("&Beenden"));
    connect(mnuClose_, &QAction::triggered, this, [this] { mnuClose_Click(); });
    mnuPop_.addSeparator(); // mnuTrenn0

    mnuSettings_ = mnuPop_.addAction(QStringLiteral("&Einstellungen"));
    connect(mnuSettings_, &QAction::triggered, this, [this] { mnuSettings_Click(); });
    // Always enabled: the log can be read while a call is metered. Its access
    // key is the "d": "v" stays the one key of "&Vor Einheitsende trennen",
    // which a shared key would only select instead of opening.
    mnuCalls_ = mnuPop_.addAction(QStringLiteral("Verbin&dungen\u2026"));
    connect(mnuCalls_, &QAction::triggered, this, [this] {
        if (callsCommand_)
            callsCommand_();
    });
    mnuPop_.addSeparator(); // mnuTrenn2

    autoHangupMenu_.setTitle(QStringLiteral("&Vor Einheitsende trennen"));
    for (int i = 0; i < kAutoHangupEntries; ++i) {
        QAction* entry = autoHangupMenu_.addAction(QString::fromLatin1(kAutoHangupCaptions[i]));
        entry->setCheckable(true);
        // A checkable entry has already flipped its mark when triggered() arrives;
        // put it back so the command sees the state the user chose from.
        connect(entry, &QAction::triggered, this, [this, i, entry](bool checked) {
            entry->setChecked(!checked);
            mnuAutoHangupEinheiten_Click(i);
        });
        mnuAutoHangupEinheiten_[static_cast<std::size_t>(i)] = entry;
    }
    mnuAutoHangup_ = mnuPop_.addMenu(&autoHangupMenu_);
    mnuAutoHangup_->setEnabled(false);
    mnuPop_.addSeparator(); // mnuTrenn

    QAction* first = addProviderEntry();
    first->setText(QStringLiteral("Provider"));
    first->setVisible(false);

    mnuTrenn1_ = mnuPop_.addSeparator();
    mnuTrenn1_->setVisible(false);
    mnuDisconnect_ = mnuPop_.addAction(QStringLiteral("&Trennen"));
    mnuDisconnect_->setVisible(false);
    connect(mnuDisconnect_, &QAction::triggered, this, [this] { mnuDisconnect_Click(); });
}

QAction* MainForm::addProviderEntry()
{
    const int index = static_cast<int>(mnuProvider_.size());
    auto* entry = new QAction(&mnuPop_);
    // Provider entries stay together between mnuTrenn and mnuTrenn1.
    mnuPop_.insertAction(mnuTrenn1_, entry);
    connect(entry, &QAction::triggered, this, [this, index] { mnuProvider_Click(index); });
    mnuProvider_.push_back(entry);
    return entry;
}

void MainForm::loadPhonebook()
{
    const Phonebook phonebook = zumi::loadPhonebook(d_.dialUp, d_.connNames);
    const std::vector<std::string>& names = phonebook.entries;
    while (mnuProvider_.size() > 1) {
        delete mnuProvider_.back();
        mnuProvider_.pop_back();
    }
    if (phonebook.error != PhonebookError::None) {
        // Why there is nothing to dial, in place of the entries; it dials nothing.
        providerNames_.clear();
        QAction* entry = mnuProvider_.front();
        entry->setText(menuCaption(phonebookTroubleText(phonebook)));
        entry->setVisible(true);
        entry->setEnabled(false);
        return;
    }
    if (names.empty()) {
        // The first entry keeps its caption and state; choosing it dials what it shows.
        providerNames_.resize(std::min<std::size_t>(providerNames_.size(), 1));
        return;
    }
    providerNames_ = names;
    const bool idle = d_.activeConn() == -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        QAction* entry = i == 0 ? mnuProvider_.front() : addProviderEntry();
        entry->setText(menuCaption(names[i]));
        entry->setVisible(true);
        entry->setEnabled(idle);
    }
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
    loadPhonebook();
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
        loadPhonebook();
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

void MainForm::mnuClose_Click()
{
    if (closeCommand_)
        closeCommand_();
}

void MainForm::mnuSettings_Click()
{
    // A menu read before the call began may still offer it.
    if (!mnuSettings_->isEnabled())
        return;
    if (settingsCommand_)
        settingsCommand_();
}

void MainForm::mnuAutoHangupEinheiten_Click(int index)
{
    if (index < 0 || index >= kAutoHangupEntries)
        return;
    QAction* chosen = mnuAutoHangupEinheiten_[static_cast<std::size_t>(index)];
    if (chosen->isChecked()) {
        d_.autoHangup.disarm();
        chosen->setChecked(false);
        return;
    }
    if (d_.activeConn() != -1) {
        for (int i = 0; i < kAutoHangupEntries; ++i) {
            QAction* entry = mnuAutoHangupEinheiten_[static_cast<std::size_t>(i)];
            entry->setChecked(i == index);
            if (i == index)
                d_.autoHangup.arm(unitsFromCaption(entry->text().toStdString()));
        }
        return;
    }
    d_.messages.question(QStringLiteral("Ohne Verbindung macht das keinen Sinn, oder?"));
    d_.messages.exclamation(QStringLiteral("Eben!"));
}

void MainForm::mnuProvider_Click(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= providerNames_.size())
        return;
    doConnect(providerNames_[static_cast<std::size_t>(index)]);
}

void MainForm::mnuDisconnect_Click()
{
    const HangupAttempt attempt = hangUpConnection(d_.dialUp);
    d_.hangups.requested({attempt.handle, attempt.entryName, HangupCause::Menu, attempt.error});
}

void MainForm::doConnect(const std::string& cc)
{
    // Never a second dial beside a metered call, whatever menu was read before it began.
    if (d_.activeConn() != -1)
        return;
    // The platform's dialer runs detached; whether dialing succeeds shows up
    // at a later tick of the monitor.
    const DialResult result = d_.dialUp.dial(cc);
    if (result.started)
        return;
    QString text = QStringLiteral("„%1“ kann nicht gewählt werden: das Wählprogramm ließ sich nicht starten.")
                       .arg(QString::fromStdString(cc));
    const std::string reason = dialFailureText(cc, result);
    if (!reason.empty())
        text += QStringLiteral("\n\n") + QString::fromStdString(reason);
    d_.messages.exclamation(text);
}

void MainForm::setDisconnectShown(bool shown)
{
    mnuTrenn1_->setVisible(shown);
    mnuDisconnect_->setVisible(shown);
}

void MainForm::setMeteringEnabled(bool metering)
{
    mnuSettings_->setEnabled(!metering);
    // An open menu greys what may no longer be chosen; the phonebook's trouble entry stays off.
    for (std::size_t i = 0; i < providerNames_.size() && i < mnuProvider_.size(); ++i)
        mnuProvider_[i]->setEnabled(!metering);
    mnuAutoHangup_->setEnabled(metering);
    mnuDisconnect_->setEnabled(metering);
}

void MainForm::uncheckAutoHangupEntries()
{
    for (QAction* entry : mnuAutoHangupEinheiten_)
        entry->setChecked(false);
}

} // namespace zumi
