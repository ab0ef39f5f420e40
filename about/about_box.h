#pragma once
#include "about/version_text.h"

#include <QDialog>

#include <memory>

class QWidget;

namespace Ui {
class frmAbout;
}

namespace zumi {

// frmAbout: program name, version and build, and the project's contact block.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(const VersionInfo& version, QWidget* parent = nullptr);
    ~AboutBox() override;

    QString homePage() const;

private:
    void cmdCopyHome_Click();

    std::unique_ptr<Ui::frmAbout> ui_;
};

// Shows the about box of this build modally over parent.
void showAboutBox(QWidget* parent);

} // namespace zumi
