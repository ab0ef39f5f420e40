#pragma once
#include "about/about_text.h"

#include <QDialog>

#include <memory>

class QWidget;

namespace Ui {
class frmAbout;
}

namespace zumi {

// frmAbout: shows the about text in its fixed layout.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(const VersionInfo& version, QWidget* parent = nullptr);
    ~AboutBox() override;

private:
    void cmdCopyHome_Click();

    const AboutText text_;
    std::unique_ptr<Ui::frmAbout> ui_;
};

// Shows the about box of this build modally over parent.
void showAboutBox(QWidget* parent);

} // namespace zumi
