#include "logfetch/windows/convert_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "common/core/event_pump.h"
#include "common/core/folder_listing.h"
#include "common/core/path_text.h"
#include "common/core/single_byte_text.h"
#include "common/widgets/elided_path_label.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"
#include "logfetch/convert/bin_name.h"
#include "logfetch/convert/convert_bin_file.h"
#include "logfetch/convert/lastbin_cfg.h"
#include "logfetch/convert/log_readings.h"
#include "logfetch/windows/log_chart_window.h"

namespace logfetch {

namespace {

constexpr std::string_view kReadyText = "Which BIN file would you like to convert to an ASCII format?";
constexpr std::string_view kConvertingText = "Conversion has started... One Moment.";
constexpr int kBarHeight = 22;
constexpr int kBarMinimumWidth = 320;

void setText(QLabel& label, std::string_view text)
{
    label.setText(common::fromBytes(text));
}

}  // namespace

frmConvertBINtoPRN::~frmConvertBINtoPRN() = default;

frmConvertBINtoPRN::frmConvertBINtoPRN(StepValues& values, common::Prompter& prompter,
                                       common::FileDialog& fileDialog, frmConfirmOverwrite& confirmOverwrite,
                                       std::string programFolder, QWidget* parent)
    : QDialog(parent),
      values_(values),
      prompter_(prompter),
      fileDialog_(fileDialog),
      confirmOverwrite_(confirmOverwrite),
      programFolder_(std::move(programFolder)),
      lblStatus_(common::plainLabel("lblStatus", kReadyText, this)),
      fullPathCaption_(common::plainLabel("Label5", "Full Path  : ", this)),
      lblFullPath_(new common::ElidedPathLabel("lblFullPath", this)),
      filenameCaption_(common::plainLabel("Label3", "Filename :", this)),
      lblFilename_(new common::ElidedPathLabel("lblFilename", this)),
      percentDoneCaption_(common::plainLabel("Label2", "% DONE  :", this)),
      famPercent100_(new QFrame(this)),
      famPercentSome_(new QFrame(famPercent100_)),
      cmdOK_(common::namedButton("cmdOK", "OK", this)),
      cmdCancel_(common::namedButton("cmdCancel", "Cancel", this)),
      cmdBrowse_(common::namedButton("cmdBrowse", "Browse", this)),
      autoStartTimer_(new QTimer(this)),
      progressTimer_(new QTimer(this))
{
    setObjectName(QStringLiteral("frmConvertBINtoPRN"));
    setWindowTitle(QStringLiteral("Conversion from BIN to PRN"));
    setUpProgressBar();
    cmdOK_->setDefault(true);
    lblFullPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFilename_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layOutControls();
    connectTimersAndButtons();
}

void frmConvertBINtoPRN::setUpProgressBar()
{
    famPercent100_->setObjectName(QStringLiteral("famPercent100"));
    famPercent100_->setFrameShape(QFrame::Panel);
    famPercent100_->setFrameShadow(QFrame::Sunken);
    famPercent100_->setFixedHeight(kBarHeight);
    famPercent100_->setMinimumWidth(kBarMinimumWidth);
    // The bar keeps its place while hidden, so the window does not change size.
    QSizePolicy keepPlace = famPercent100_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    famPercent100_->setSizePolicy(keepPlace);
    famPercentSome_->setObjectName(QStringLiteral("famPercentSome"));
    famPercentSome_->setAutoFillBackground(true);
    famPercentSome_->setBackgroundRole(QPalette::Highlight);
}

void frmConvertBINtoPRN::layOutControls()
{
    auto* fields = new QGridLayout;
    fields->addWidget(fullPathCaption_, 0, 0);
    fields->addWidget(lblFullPath_, 0, 1);
    fields->addWidget(filenameCaption_, 1, 0);
    fields->addWidget(lblFilename_, 1, 1);
    fields->addWidget(percentDoneCaption_, 2, 0);
    fields->addWidget(famPercent100_, 2, 1);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdBrowse_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus_);
    layout->addSpacing(6);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

void frmConvertBINtoPRN::connectTimersAndButtons()
{
    autoStartTimer_->setObjectName(QStringLiteral("Timer1"));
    autoStartTimer_->setInterval(1);
    autoStartTimer_->setSingleShot(true);
    progressTimer_->setObjectName(QStringLiteral("Timer2"));
    progressTimer_->setInterval(1);
    connect(autoStartTimer_, &QTimer::timeout, this, &frmConvertBINtoPRN::autoStartTimer_Timer);
    connect(progressTimer_, &QTimer::timeout, this, &frmConvertBINtoPRN::progressTimer_Timer);
    connect(cmdOK_, &QPushButton::clicked, this, &frmConvertBINtoPRN::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmConvertBINtoPRN::cmdCancel_Click);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmConvertBINtoPRN::cmdBrowse_Click);
}

void frmConvertBINtoPRN::ShowForm()
{
    Form_Load();
    autoStartTimer_->start();
    progressTimer_->start();
    exec();
}

void frmConvertBINtoPRN::Form_Load()
{
    converting_ = false;
    setText(*lblStatus_, kReadyText);
    cmdCancel_->setEnabled(true);
    cmdBrowse_->setEnabled(true);
    showChosenFile(values_.gLastBinFile);
    famPercent100_->hide();
    famPercentSome_->hide();
    // Centred once the labels are filled: their text decides the window's size.
    common::centreOnScreen(*this);
    // Placed once the window's size is settled, so the bar's height is known.
    layout()->activate();
    const QRect inside = famPercent100_->contentsRect();
    famPercentSome_->setGeometry(inside.left(), inside.top(), 0, inside.height());
}

void frmConvertBINtoPRN::showChosenFile(std::string_view fullPath)
{
    common::SplitPath parts = common::splitPath(fullPath);
    fullPath_ = std::move(parts.folder);
    fileName_ = std::move(parts.fileName);
    lblFullPath_->setPath(fullPath_);
    lblFilename_->setPath(fileName_);
    cmdOK_->setEnabled(!fullPath_.empty() && !fileName_.empty());
}

void frmConvertBINtoPRN::cmdBrowse_Click()
{
    const std::optional<std::string> chosen =
        fileDialog_.open({fullPath_, fileName_, std::string(kBinFileFilter)});
    if (!chosen || chosen->empty())
        return;
    showChosenFile(*chosen);
    // Sized to the new path, within the screen, and in its middle again.
    adjustSize();
    common::centreOnScreen(*this);
}

void frmConvertBINtoPRN::cmdOK_Click()
{
    // A name too short to hold ".BIN" is refused before a report name is formed from it.
    if (fileName_.size() < 4) {
        prompter_.showMessage(kBinExtensionMessage);
        return;
    }
    const std::string reportName = lowerCasePrnName(fileName_);
    // A folder that cannot be listed (gone since it was remembered) holds no
    // report: the conversion then tells what is wrong with the .BIN.
    if (common::folderListsName(fullPath_, reportName)) {
        values_.gOverwriteFile = common::joinPath(fullPath_, reportName);
        confirmOverwrite_.ShowForm();
        if (values_.gOverwriteAnswer == kNo)
            return;
    }
    if (!hasBinExtension(fileName_)) {
        prompter_.showMessage(kBinExtensionMessage);
        return;
    }
    enterConvertingState();
    values_.gLastBinFile = common::joinPath(fullPath_, fileName_);
    // Not remembering the file must not keep it from being converted.
    writeLastBinFile(programFolder_, values_.gLastBinFile);
    common::EventPump pump;
    LogReadings readings;
    chartWindow_.reset();
    const ConversionOutcome outcome = ConvertBinFile(
        fullPath_, fileName_, values_, prompter_, [&pump] { pump(); }, &readings);
    unload();
    if (outcome == ConversionOutcome::Completed && !readings.dataSets().empty()) {
        chartWindow_ = std::make_unique<frmLogChart>(std::move(readings), fileName_);
        chartWindow_->show();
    }
}

void frmConvertBINtoPRN::enterConvertingState()
{
    converting_ = true;
    setText(*lblStatus_, kConvertingText);
    famPercent100_->show();
    famPercentSome_->show();
    cmdCancel_->setEnabled(false);
    cmdBrowse_->setEnabled(false);
    cmdOK_->setEnabled(false);
}

void frmConvertBINtoPRN::cmdCancel_Click()
{
    unload();
}

void frmConvertBINtoPRN::reject()
{
    if (!converting_)
        cmdCancel_Click();
}

void frmConvertBINtoPRN::unload()
{
    autoStartTimer_->stop();
    progressTimer_->stop();
    converting_ = false;
    done(QDialog::Accepted);
}

void frmConvertBINtoPRN::autoStartTimer_Timer()
{
    autoStartTimer_->stop();
    if (values_.gStepMode == StepValues::AllSteps)
        cmdOK_Click();
}

void frmConvertBINtoPRN::progressTimer_Timer()
{
    // Before any conversion the length is 0: the bar stays as it is.
    if (values_.gBinFileLength <= 0)
        return;
    const QRect inside = famPercent100_->contentsRect();
    const std::int64_t read = std::clamp<std::int64_t>(values_.gBinBytesRead, 0, values_.gBinFileLength);
    famPercentSome_->resize(static_cast<int>(read * inside.width() / values_.gBinFileLength),
                            inside.height());
}

}  // namespace logfetch
