#include "logfetch/windows/com_select_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "common/core/single_byte_text.h"
#include "common/widgets/port_listing_delegate.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"
#include "logfetch/ports/port_probe.h"
#include "logfetch/ports/serialport_cfg.h"
#include "serial/port_directory.h"
#include "serial/port_numbering.h"

namespace logfetch {

namespace {

// The ports the list offers; higher numbers can be typed.
constexpr int kFirstOfferedPort = 1;
constexpr int kLastOfferedPort = 5;

// The design's client area and control rectangles, in twips.
constexpr int kClientWidth = 6690;
constexpr int kClientHeight = 2250;
constexpr int kLabelLeft = 240;
constexpr int kIntroductionTop = 240;
constexpr int kQuestionTop = 720;
const QRect kPortOptionsRect = common::twipsRect(2640, 1080, 1455, 315);
const QRect kOkRect = common::twipsRect(2640, 1680, 1455, 375);

// A control at its design place, made taller when its content needs it.
void placeAtLeast(QWidget& control, QRect design)
{
    design.setHeight(std::max(design.height(), control.sizeHint().height()));
    control.setGeometry(design);
}

std::string notAPortNumberMessage(std::string_view typed)
{
    // Built by appending: GCC 12 warns falsely about a literal + string here.
    std::string message(1, '"');
    message.append(typed)
        .append("\" is not a COM port number.  Please enter a number from ")
        .append(std::to_string(serial::kFirstPortNumber))
        .append(" to ")
        .append(std::to_string(serial::kLastPortNumber))
        .append(".");
    return message;
}

}  // namespace

frmComSelect::frmComSelect(serial::SerialPort& probePort, common::Prompter& prompter,
                           std::string programFolder, QWidget* parent)
    : QDialog(parent),
      probePort_(probePort),
      prompter_(prompter),
      programFolder_(std::move(programFolder)),
      introduction_(common::plainLabel(
          "Label2",
          "This application communicates to the Data Logger Instrument through a serial (COM) port.", this)),
      question_(common::plainLabel(
          "Label1", "Select which serial communications (COM) port this application should use:", this)),
      cboPortOptions_(new QComboBox(this)),
      cmdOK_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmComSelect"));
    setWindowTitle(QStringLiteral("Serial / COM Port Selection"));

    cboPortOptions_->setObjectName(QStringLiteral("cboPortOptions"));
    cboPortOptions_->setEditable(true);
    // Typed text is the choice itself, never a new list item.
    cboPortOptions_->setInsertPolicy(QComboBox::NoInsert);
    cboPortOptions_->setItemDelegate(new common::PortListingDelegate(cboPortOptions_));
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    placeControls();

    connect(cmdOK_, &QPushButton::clicked, this, &frmComSelect::cmdOK_Click);
}

void frmComSelect::placeControls()
{
    common::placeSizedToText(*introduction_, common::twipsPoint(kLabelLeft, kIntroductionTop));
    common::placeSizedToText(*question_, common::twipsPoint(kLabelLeft, kQuestionTop));
    placeAtLeast(*cboPortOptions_, kPortOptionsRect);
    placeAtLeast(*cmdOK_, kOkRect);
    // A wider font than the design's widens the window rather than cutting
    // the labels; the right margin stays that of the left.
    const int margin = common::twipsToPixels(kLabelLeft);
    const int widest =
        std::max(introduction_->geometry().right(), question_->geometry().right()) + 1 + margin;
    setFixedSize(std::max(common::twipsToPixels(kClientWidth), widest), common::twipsToPixels(kClientHeight));
}

void frmComSelect::ShowForm()
{
    Form_Load();
    exec();
}

void frmComSelect::Form_Load()
{
    common::centreOnScreen(*this);
    const std::string saved = readPortText(programFolder_);

    cboPortOptions_->clear();
    const std::vector<serial::PortEntry> devices = serial::listPorts();
    for (int number : openablePorts(probePort_, kFirstOfferedPort, kLastOfferedPort))
        addPortItem(number, devices);
    common::PortListingDelegate::fitListToListings(*cboPortOptions_);

    // The saved text is shown as it is, also when its port is not offered.
    const QString savedText = common::fromBytes(saved);
    cboPortOptions_->setCurrentIndex(cboPortOptions_->findText(savedText));
    cboPortOptions_->setEditText(savedText);
    cboPortOptions_->lineEdit()->selectAll();
    cboPortOptions_->setFocus();
}

void frmComSelect::addPortItem(int number, const std::vector<serial::PortEntry>& devices)
{
    cboPortOptions_->addItem(QString::number(number));
    const auto entry =
        std::find_if(devices.begin(), devices.end(),
                     [number](const serial::PortEntry& device) { return device.number == number; });
    if (entry == devices.end())
        return;
    const QString listing = common::pathText(serial::listingLine(*entry));
    const int index = cboPortOptions_->count() - 1;
    cboPortOptions_->setItemData(index, listing, common::PortListingDelegate::kListingRole);
    cboPortOptions_->setItemData(index, listing, Qt::ToolTipRole);
}

void frmComSelect::cmdOK_Click()
{
    const std::string typed = common::toBytes(cboPortOptions_->currentText());
    // Spaces alone are no choice either: the file keeps the port it names.
    if (typed.find_first_not_of(' ') == std::string::npos) {
        accept();
        return;
    }
    const std::optional<int> number = serial::portNumberOfText(typed);
    if (!number) {
        prompter_.showMessage(notAPortNumberMessage(typed));
        cboPortOptions_->lineEdit()->selectAll();
        cboPortOptions_->setFocus();
        return;
    }
    if (!writePortNumber(programFolder_, *number))
        prompter_.showMessage("The serial port choice could not be saved in " +
                              serialPortCfgPath(programFolder_) + ".");
    accept();
}

}  // namespace logfetch
