#include "logfetch/windows/about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/core/single_byte_text.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"
#include "logfetch/program_identity.h"

namespace logfetch {

namespace {

constexpr std::string_view kPurpose =
    "This program allows the downloading of Internal Data Logger Memory from the Veldan Qorivex Model "
    "K7-RX Fluorometer. The download creates a file with a BIN extension and the conversion produces files "
    "with PRN and CSV extensions. Manuals, updates and support for the instrument and this program are on "
    "the Veldan Qorivex web page.";
constexpr std::string_view kNotice = "Provided as is, without warranty of any kind.";
constexpr int kTextWidth = 380;

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent),
      lblTitle1_(common::plainLabel("lblTitle1", "", this)),
      lblTitle2_(common::plainLabel("lblTitle2", "", this)),
      purpose_(common::plainLabel("Label1", kPurpose, this)),
      notice_(common::plainLabel("Label2", kNotice, this)),
      cmdOK_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    QFont titleFont = lblTitle1_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle1_->setFont(titleFont);
    purpose_->setWordWrap(true);
    purpose_->setFixedWidth(kTextWidth);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle1_);
    layout->addWidget(lblTitle2_);
    layout->addSpacing(8);
    layout->addWidget(purpose_);
    layout->addSpacing(8);
    layout->addWidget(notice_);
    layout->addWidget(cmdOK_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::ShowForm()
{
    Form_Load();
    exec();
}

void frmAbout::Form_Load()
{
    lblTitle2_->setText(QString::fromStdString(versionText()));
    lblTitle1_->setText(common::fromBytes(kProgramTitle));
    common::centreOnScreen(*this);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

}  // namespace logfetch
