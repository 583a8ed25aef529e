#include "tabwright/windows/excel_macro_window.h"

#include "common/core/single_byte_text.h"
#include "common/widgets/dialog_buttons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/widgets/bgr_colour.h"
#include "common/widgets/palette_colour.h"
#include "common/widgets/window_text.h"

namespace tabwright {

namespace {

constexpr unsigned kWhite = 0xFFFFFF;
// Wide enough for a qualified name such as Standard.Module.Macro.
constexpr int kNameWidth = 220;

}  // namespace

frmExcelMacro::frmExcelMacro(QWidget* parent)
    : QDialog(parent),
      fraExcelMacro_(new QGroupBox(this)),
      chkExcelMacro_(new QCheckBox(QStringLiteral("&Run Excel Macro:"), fraExcelMacro_)),
      txtExcelMacro_(new QLineEdit(fraExcelMacro_)),
      cmdOK_(common::namedButton("cmdOK", "OK", this)),
      cmdCancel_(common::namedButton("cmdCancel", "Cancel", this))
{
    setObjectName(QStringLiteral("frmExcelMacro"));
    setWindowTitle(QStringLiteral("Excel Configuration"));
    fraExcelMacro_->setObjectName(QStringLiteral("fraExcelMacro"));
    chkExcelMacro_->setObjectName(QStringLiteral("chkExcelMacro"));
    txtExcelMacro_->setObjectName(QStringLiteral("txtExcelMacro"));
    txtExcelMacro_->setMinimumWidth(kNameWidth);

    auto* frame = new QHBoxLayout(fraExcelMacro_);
    frame->addWidget(chkExcelMacro_);
    frame->addWidget(txtExcelMacro_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraExcelMacro_);
    layout->addLayout(common::okCancelRow(*cmdOK_, *cmdCancel_));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkExcelMacro_, &QCheckBox::toggled, this, &frmExcelMacro::chkExcelMacro_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmExcelMacro::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmExcelMacro::cmdCancel_Click);
    chkExcelMacro_Click();
}

bool frmExcelMacro::MacroEnable() const
{
    return chkExcelMacro_->isChecked();
}

void frmExcelMacro::setMacroEnable(bool enable)
{
    chkExcelMacro_->setChecked(enable);
}

std::string frmExcelMacro::MacroName() const
{
    return common::toBytes(txtExcelMacro_->text());
}

void frmExcelMacro::setMacroName(std::string_view name)
{
    txtExcelMacro_->setText(common::fromBytes(name));
}

bool frmExcelMacro::ShowForm()
{
    MacroCancelled_ = false;
    chkExcelMacro_Click();
    exec();
    return !MacroCancelled_;
}

void frmExcelMacro::reject()
{
    cmdCancel_Click();
}

void frmExcelMacro::chkExcelMacro_Click()
{
    const bool enable = chkExcelMacro_->isChecked();
    common::setPaletteColour(*txtExcelMacro_, QPalette::Base,
                             enable ? common::colourFromBgr(kWhite)
                                    : fraExcelMacro_->palette().color(fraExcelMacro_->backgroundRole()));
    txtExcelMacro_->setEnabled(enable);
}

void frmExcelMacro::cmdOK_Click()
{
    accept();
}

void frmExcelMacro::cmdCancel_Click()
{
    MacroCancelled_ = true;
    QDialog::reject();
}

}  // namespace tabwright
