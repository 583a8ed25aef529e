#include "logfetch/windows/confirm_overwrite_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/core/single_byte_text.h"
#include "common/widgets/elided_path_label.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"

namespace logfetch {

frmConfirmOverwrite::frmConfirmOverwrite(StepValues& values, QWidget* parent)
    : QDialog(parent),
      values_(values),
      lblStatus_(common::plainLabel("lblStatus", "The following file already exists ...", this)),
      lblExistingFile_(new common::ElidedPathLabel("lblExistingFile", this)),
      question_(common::plainLabel("Label2", "Do you want to overwrite this file?", this)),
      cmdYes_(new QPushButton(QStringLiteral("Yes"), this)),
      cmdNo_(new QPushButton(QStringLiteral("No"), this))
{
    setObjectName(QStringLiteral("frmConfirmOverwrite"));
    setWindowTitle(QStringLiteral("Confirm Overwrite"));
    cmdYes_->setObjectName(QStringLiteral("cmdYes"));
    cmdNo_->setObjectName(QStringLiteral("cmdNo"));
    cmdYes_->setDefault(true);
    lblExistingFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdYes_);
    buttons->addWidget(cmdNo_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus_);
    layout->addWidget(lblExistingFile_);
    layout->addSpacing(8);
    layout->addWidget(question_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdYes_, &QPushButton::clicked, this, &frmConfirmOverwrite::cmdYes_Click);
    connect(cmdNo_, &QPushButton::clicked, this, &frmConfirmOverwrite::cmdNo_Click);
}

void frmConfirmOverwrite::ShowForm()
{
    Form_Load();
    exec();
}

void frmConfirmOverwrite::Form_Load()
{
    lblExistingFile_->setPath(values_.gOverwriteFile);
    cmdYes_->setFocus();
    common::centreOnScreen(*this);
}

void frmConfirmOverwrite::cmdYes_Click()
{
    values_.gOverwriteAnswer = std::string(kYes);
    accept();
}

void frmConfirmOverwrite::cmdNo_Click()
{
    values_.gOverwriteAnswer = std::string(kNo);
    QDialog::reject();
}

void frmConfirmOverwrite::reject()
{
    cmdNo_Click();
}

}  // namespace logfetch
