#include "tabwright/windows/about_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "common/widgets/window_text.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/windows/program_icon.h"

namespace tabwright {

namespace {

constexpr int kIconSide = 64;

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent),
      imgIcon_(common::plainLabel("imgIcon", "", this)),
      lblTitle_(common::plainLabel("lblTitle", kProgramTitle, this)),
      lblVersion_(common::plainLabel("lblVersion", "Version", this)),
      cmdOK_(common::namedButton("cmdOK", "OK", this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    imgIcon_->setPixmap(programIcon(kIconSide));
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle_->setFont(titleFont);
    cmdOK_->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(imgIcon_, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblTitle_, 0, 1);
    layout->addWidget(lblVersion_, 1, 1, Qt::AlignTop);
    layout->addWidget(cmdOK_, 2, 0, 1, 2, Qt::AlignRight);
    layout->setHorizontalSpacing(16);
    layout->setColumnMinimumWidth(1, 160);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::ShowForm()
{
    exec();
}

void frmAbout::reject()
{
    // Escape and the frame's close do what OK does.
    cmdOK_Click();
}

bool frmAbout::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

void frmAbout::Form_Activate()
{
    lblVersion_->setText(QStringLiteral("Version ") + QString::fromStdString(versionNumber()));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

}  // namespace tabwright
