#include "tabwright/windows/com_port_window.h"

#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "common/core/single_byte_text.h"
#include "common/widgets/dialog_buttons.h"
#include "common/widgets/port_listing_delegate.h"
#include "common/widgets/window_text.h"
#include "serial/port_directory.h"

namespace tabwright {

namespace {

// COM 1 to COM 4 are option buttons, the list holds COM 5 to COM 16.
constexpr int kFirstListedPort = 5;
constexpr int kLastListedPort = 16;
constexpr int kOtherIndex = 0;
const char* const kOptionCaptions[] = {"&Other", "COM &1", "COM &2", "COM &3", "COM &4"};

QString indexedName(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

const serial::PortEntry* entryOf(const std::vector<serial::PortEntry>& devices, int number)
{
    const auto found = std::find_if(devices.begin(), devices.end(), [number](const serial::PortEntry& entry) {
        return entry.number == number;
    });
    return found == devices.end() ? nullptr : &*found;
}

// What a title bar takes beside its title: the window's icon and its three buttons.
constexpr int kTitleBarButtons = 160;

}  // namespace

frmComPort::frmComPort(QWidget* parent)
    : QDialog(parent),
      portChoices_(new QGroupBox(this)),
      cboComPort_(new QComboBox(portChoices_)),
      cmdOK_(common::namedButton("cmdOK", "OK", this)),
      cmdCancel_(common::namedButton("cmdCancel", "Cancel", this))
{
    setObjectName(QStringLiteral("frmComPort"));
    setWindowTitle(QStringLiteral("COM Port Selection"));
    buildPortChoices();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portChoices_);
    layout->addLayout(common::okCancelRow(*cmdOK_, *cmdCancel_));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cboComPort_, &QComboBox::currentIndexChanged, this, &frmComPort::cboComPort_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmComPort::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmComPort::cmdCancel_Click);
}

void frmComPort::buildPortChoices()
{
    portChoices_->setObjectName(QStringLiteral("Frame1"));
    cboComPort_->setObjectName(QStringLiteral("cboComPort"));
    // The popup shows the device behind each number; the box shows the number.
    cboComPort_->setItemDelegate(new common::PortListingDelegate(cboComPort_));
    for (int number = kFirstListedPort; number <= kLastListedPort; ++number)
        cboComPort_->addItem(QStringLiteral("COM %1").arg(number));

    auto* grid = new QGridLayout(portChoices_);
    for (int index = 0; index < static_cast<int>(optComPort_.size()); ++index) {
        optComPort_[index] = new QRadioButton(QString::fromLatin1(kOptionCaptions[index]), portChoices_);
        optComPort_[index]->setObjectName(indexedName("optComPort", index));
        lblDevice_[index] =
            common::plainLabel(indexedName("lblDevice", index).toLatin1().constData(), "", portChoices_);
        connect(optComPort_[index], &QRadioButton::toggled, this, &frmComPort::optComPort_Click);
        // "&Other" comes last, below COM 4, with the list beside it.
        const int row = index == kOtherIndex ? 4 : index - 1;
        grid->addWidget(optComPort_[index], row, 0);
        if (index == kOtherIndex) {
            grid->addWidget(cboComPort_, row, 1);
            grid->addWidget(lblDevice_[index], row, 2);
        } else {
            grid->addWidget(lblDevice_[index], row, 1, 1, 2);
        }
    }
    grid->setColumnStretch(2, 1);
    // The window is as wide as its contents; a window manager's title bar also holds its
    // buttons, so the contents make room for the whole title beside them.
    QFont titleFont = font();
    titleFont.setBold(true);
    portChoices_->setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(windowTitle()) +
                                  kTitleBarButtons);
}

int frmComPort::GetPort(int current)
{
    Form_Load();
    ComPortCancelled_ = false;
    presetChoice(current);
    exec();
    if (ComPortCancelled_)
        return current;
    const QRadioButton* chosen = WhichOptionButton(*portChoices_);
    if (chosen == nullptr)
        return current;
    const int index = optionIndex(chosen);
    return index != kOtherIndex ? index : cboComPort_->currentIndex() + kFirstListedPort;
}

QRadioButton* frmComPort::WhichOptionButton(const QWidget& container) const
{
    const QList<QRadioButton*> options = container.window()->findChildren<QRadioButton*>();
    const auto found = std::find_if(options.begin(), options.end(), [&container](const QRadioButton* option) {
        return option->parentWidget() == &container && option->isChecked();
    });
    return found == options.end() ? nullptr : *found;
}

void frmComPort::reject()
{
    cmdCancel_Click();
}

void frmComPort::Form_Load()
{
    clearOptions();
    // The list always shows a number, so "&Other" never stands for none.
    cboComPort_->setCurrentIndex(0);
    showDevices();
    optComPort_Click();
}

void frmComPort::presetChoice(int current)
{
    if (current >= 1 && current < kFirstListedPort) {
        optComPort_[current]->setChecked(true);
        cboComPort_->setCurrentIndex(0);
    } else if (current >= kFirstListedPort && current <= kLastListedPort) {
        optComPort_[kOtherIndex]->setChecked(true);
        cboComPort_->setCurrentIndex(current - kFirstListedPort);
    }
    // The focus starts on the option set, else on the first.
    QRadioButton* set = WhichOptionButton(*portChoices_);
    (set != nullptr ? set : optComPort_[1])->setFocus();
}

void frmComPort::clearOptions()
{
    // An exclusive option cannot be unset on its own.
    for (QRadioButton* option : optComPort_) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

int frmComPort::optionIndex(const QRadioButton* option) const
{
    return static_cast<int>(std::find(optComPort_.begin(), optComPort_.end(), option) - optComPort_.begin());
}

void frmComPort::showDevices()
{
    const std::vector<serial::PortEntry> devices = serial::listPorts();
    for (int number = 1; number < kFirstListedPort; ++number) {
        const serial::PortEntry* entry = entryOf(devices, number);
        lblDevice_[number]->setText(entry ? common::pathText(serial::deviceLine(*entry)) : QString());
    }
    for (int item = 0; item < cboComPort_->count(); ++item) {
        const serial::PortEntry* entry = entryOf(devices, item + kFirstListedPort);
        const QString listing = entry ? common::pathText(serial::listingLine(*entry)) : QString();
        const QString device = entry ? common::pathText(serial::deviceLine(*entry)) : QString();
        cboComPort_->setItemData(item, listing, common::PortListingDelegate::kListingRole);
        cboComPort_->setItemData(item, device, Qt::ToolTipRole);
    }
    common::PortListingDelegate::fitListToListings(*cboComPort_);
    cboComPort_Click();
}

void frmComPort::optComPort_Click()
{
    const bool other = optComPort_[kOtherIndex]->isChecked();
    cboComPort_->setEnabled(other);
    lblDevice_[kOtherIndex]->setEnabled(other);
    cmdOK_->setEnabled(WhichOptionButton(*portChoices_) != nullptr);
}

void frmComPort::cboComPort_Click()
{
    lblDevice_[kOtherIndex]->setText(cboComPort_->currentData(Qt::ToolTipRole).toString());
}

void frmComPort::cmdOK_Click()
{
    accept();
}

void frmComPort::cmdCancel_Click()
{
    ComPortCancelled_ = true;
    QDialog::reject();
}

}  // namespace tabwright
