#include "logfetch/windows/download_window.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <initializer_list>

#include "common/core/folder_listing.h"
#include "common/core/letter_case.h"
#include "common/core/single_byte_text.h"
#include "common/widgets/elided_path_label.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_placement.h"
#include "common/widgets/window_text.h"
#include "logfetch/convert/bin_name.h"
#include "logfetch/convert/lastbin_cfg.h"
#include "logfetch/download/download_lock.h"
#include "logfetch/download/download_port.h"
#include "logfetch/download/download_save.h"
#include "logfetch/download/temp_file.h"
#include "logfetch/download/time_of_day_clock.h"
#include "logfetch/ports/serialport_cfg.h"
#include "serial/qt_serial_port.h"

namespace logfetch {

namespace {

constexpr std::string_view kSaveStepText = "Download Complete. Enter a filename to save this download";

// The design's client area and control rectangles, in twips; the frames'
// controls are placed inside their frame.
constexpr int kClientWidth = 8925;
constexpr int kClientHeight = 2385;
const QRect kInstructionsCaptionRect = common::twipsRect(120, 240, 1305, 240);
const QPoint kInstructionsPlace(common::twipsToPixels(1560), common::twipsToPixels(240));
const QRect kDownloadingRect = common::twipsRect(120, 600, 8655, 1695);
const QRect kStatusCaptionRect = common::twipsRect(0, 120, 1320, 240);
const QRect kStatusRect = common::twipsRect(1440, 120, 7065, 240);
const QRect kCancelRect = common::twipsRect(3600, 1320, 1455, 375);
// Outside the window until the save step moves it onto famDownloading's place.
const QRect kGetFilenameRect = common::twipsRect(6120, 6120, 8655, 1695);
const QRect kFullPathCaptionRect = common::twipsRect(0, 120, 1095, 240);
const QPoint kFullPathPlace(common::twipsToPixels(1320), common::twipsToPixels(120));
const QRect kFilenameCaptionRect = common::twipsRect(0, 480, 1035, 240);
const QPoint kFilenamePlace(common::twipsToPixels(1320), common::twipsToPixels(480));
const QRect kBrowseRect = common::twipsRect(1320, 840, 1455, 375);
const QRect kOkRect = common::twipsRect(3480, 1200, 1455, 375);
// Below the visible client area, as designed: the instrument's text lines are
// kept, not shown.
const QRect kReceivedLinesRect = common::twipsRect(2760, 2400, 2055, 6495);
// Space between a caption and its value when the font makes the caption
// wider than the design's.
constexpr int kCaptionGap = 6;
// What lies right of the frames, kept when the window widens.
const int kRightMargin = common::twipsToPixels(kClientWidth) - kDownloadingRect.right() - 1;

QFont boldFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QLabel* boldLabel(const char* objectName, std::string_view text, QWidget* parent)
{
    QLabel* label = common::plainLabel(objectName, text, parent);
    label->setFont(boldFont());
    return label;
}

QFrame* namedFrame(const char* objectName, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(objectName));
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

// A caption at its design place, wider when its text needs it; returns its
// right edge.
int placeCaption(QLabel& caption, const QRect& design)
{
    caption.setGeometry(design.left(), design.top(), std::max(design.width(), caption.sizeHint().width()),
                        design.height());
    return caption.x() + caption.width();
}

// The left edge of a column of values: the design's, or right of the widest
// of its captions.
int valueColumn(int design, std::initializer_list<int> captionRights)
{
    return std::max(design, std::max(captionRights) + kCaptionGap);
}

}  // namespace

DownloadLink systemDownloadLink()
{
    return {[] { return std::make_unique<serial::QtSerialPort>(); },
            [] { return std::make_unique<TimeOfDayClock>(); }};
}

frmDownload::frmDownload(StepValues& values, common::Prompter& prompter, common::FileDialog& fileDialog,
                         frmConfirmOverwrite& confirmOverwrite, std::string programFolder, DownloadLink link,
                         QWidget* parent)
    : QDialog(parent),
      values_(values),
      prompter_(prompter),
      fileDialog_(fileDialog),
      confirmOverwrite_(confirmOverwrite),
      programFolder_(std::move(programFolder)),
      link_(std::move(link)),
      instructionsCaption_(boldLabel("Label1", "Instructions :", this)),
      lblInstructions_(boldLabel("lblInstructions", "", this)),
      famDownloading_(namedFrame("famDownloading", this)),
      statusCaption_(boldLabel("Label4", "Status          :", famDownloading_)),
      lblStatus_(boldLabel("lblStatus", "", famDownloading_)),
      cmdCancel_(common::namedButton("cmdCancel", "Cancel", famDownloading_)),
      famGetFilename_(namedFrame("famGetFilename", this)),
      fullPathCaption_(boldLabel("Label5", "Full Path : ", famGetFilename_)),
      lblFullPath_(new common::ElidedPathLabel("lblFullPath", famGetFilename_)),
      filenameCaption_(boldLabel("Label3", "Filename:", famGetFilename_)),
      lblFilename_(new common::ElidedPathLabel("lblFilename", famGetFilename_)),
      cmdBrowse_(common::namedButton("cmdBrowse", "Browse", famGetFilename_)),
      cmdOK_(common::namedButton("cmdOK", "OK", famGetFilename_)),
      receivedLines_(new QListWidget(this)),
      transferStartTimer_(new QTimer(this))
{
    setObjectName(QStringLiteral("frmDownload"));
    setWindowTitle(QStringLiteral("Download"));
    setFixedSize(common::twipsSize(kClientWidth, kClientHeight));
    placeControls();
    cmdOK_->setDefault(true);
    lblFullPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFilename_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    receivedLines_->setObjectName(QStringLiteral("List1"));
    connectTimerAndButtons();
}

void frmDownload::placeControls()
{
    famDownloading_->setGeometry(kDownloadingRect);
    cmdCancel_->setGeometry(kCancelRect);
    famGetFilename_->setGeometry(kGetFilenameRect);
    cmdOK_->setGeometry(kOkRect);
    placeCaptionsAndValues();
    receivedLines_->setGeometry(kReceivedLinesRect);
}

void frmDownload::connectTimerAndButtons()
{
    transferStartTimer_->setObjectName(QStringLiteral("Timer1"));
    transferStartTimer_->setInterval(1);
    transferStartTimer_->setSingleShot(true);
    connect(transferStartTimer_, &QTimer::timeout, this, &frmDownload::transferStartTimer_Timer);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmDownload::cmdCancel_Click);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmDownload::cmdBrowse_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmDownload::cmdOK_Click);
}

void frmDownload::placeCaptionsAndValues()
{
    // The instruction and the status share one column, as designed.
    const int frameLeft = kDownloadingRect.left();
    const int column =
        valueColumn(kInstructionsPlace.x(), {placeCaption(*instructionsCaption_, kInstructionsCaptionRect),
                                             frameLeft + placeCaption(*statusCaption_, kStatusCaptionRect)});
    instructionsPlace_ = QPoint(column, kInstructionsPlace.y());
    lblStatus_->move(column - frameLeft, kStatusRect.top());
    const int saveColumn =
        valueColumn(kFullPathPlace.x(), {placeCaption(*fullPathCaption_, kFullPathCaptionRect),
                                         placeCaption(*filenameCaption_, kFilenameCaptionRect)});
    fullPathPlace_ = QPoint(saveColumn, kFullPathPlace.y());
    filenamePlace_ = QPoint(saveColumn, kFilenamePlace.y());
    lblFullPath_->move(fullPathPlace_);
    lblFilename_->move(filenamePlace_);
    cmdBrowse_->setGeometry(kBrowseRect.translated(saveColumn - kBrowseRect.left(), 0));
}

void frmDownload::Form_Load()
{
    stage_ = Stage::Unloaded;
    cancelClicked_ = false;
    fullPath_.clear();
    fileName_.clear();
    lblFullPath_->clear();
    lblFilename_->clear();
    receivedLines_->clear();
    famDownloading_->setGeometry(kDownloadingRect);
    famDownloading_->show();
    famGetFilename_->hide();
    famGetFilename_->setGeometry(kGetFilenameRect);
    setInstructions("");
    setStatus("");
    fitToTexts();
}

void frmDownload::doprompt()
{
    Form_Load();
    common::centreOnScreen(*this);

    const std::string portText = readPortText(programFolder_);
    // Held until the window unloads, so that no other download empties the
    // temporary file before this one is saved.
    DownloadLock lock(tempFilePath());
    if (const std::optional<std::string> refusal = lock.take("the Download window, port " + portText)) {
        prompter_.showMessage(*refusal);
        values_.gStepMode = StepValues::DownloadOnly;
        return;
    }
    port_ = link_.makePort();
    clock_ = link_.makeClock();
    if (const std::optional<std::string> failure = openDownloadPort(*port_, portText)) {
        prompter_.showMessage(*failure);
        values_.gStepMode = StepValues::DownloadOnly;
        port_.reset();
        clock_.reset();
        return;
    }
    driver_.emplace(*port_, static_cast<DownloadView&>(*this), prompter_, *clock_, tempFilePath());
    connect(&*driver_, &DownloadDriver::finished, this, &frmDownload::transferEnded);
    stage_ = Stage::Transfer;
    transferStartTimer_->start();
    exec();

    transferStartTimer_->stop();
    stage_ = Stage::Unloaded;
    driver_.reset();
    port_.reset();  // closed by the driver at the transfer's end
    clock_.reset();
}

void frmDownload::transferStartTimer_Timer()
{
    driver_->start();
    // A Cancel before the timer fired still ends this transfer.
    if (cancelClicked_)
        driver_->cancel();
}

void frmDownload::cmdCancel_Click()
{
    values_.gStepMode = StepValues::DownloadOnly;
    cancelClicked_ = true;
    if (driver_ && driver_->running())
        driver_->cancel();
}

void frmDownload::transferEnded()
{
    if (driver_->state() == TransferEngine::Cancelled)
        unload();
    else
        enterSaveStep();
}

void frmDownload::enterSaveStep()
{
    stage_ = Stage::Save;
    famDownloading_->hide();
    famGetFilename_->move(famDownloading_->pos());
    famGetFilename_->show();
    showTarget(proposedSaveTarget(values_.gLastBinFile, programFolder_));
    setInstructions(kSaveStepText);
    cmdOK_->setFocus();
}

void frmDownload::showTarget(common::SplitPath target)
{
    fullPath_ = std::move(target.folder);
    fileName_ = std::move(target.fileName);
    lblFullPath_->setPath(fullPath_);
    lblFilename_->setPath(fileName_);
    common::placeSizedToText(*lblFullPath_, fullPathPlace_);
    common::placeSizedToText(*lblFilename_, filenamePlace_);
    fitToTexts();
}

void frmDownload::cmdBrowse_Click()
{
    const std::optional<std::string> chosen =
        fileDialog_.save({fullPath_, fileName_, std::string(kBinFileFilter)});
    if (!chosen || chosen->empty())
        return;
    showTarget(common::splitPath(*chosen));
}

void frmDownload::cmdOK_Click()
{
    if (fullPath_.empty() || fileName_.empty())
        showTarget(defaultSaveTarget(programFolder_));
    const std::string nameToConfirm = common::joinPath(fullPath_, common::lowerCase(fileName_));
    if (common::folderListsName(fullPath_, fileName_)) {
        values_.gOverwriteFile = nameToConfirm;
        confirmOverwrite_.ShowForm();
        if (values_.gOverwriteAnswer == kNo)
            return;
    }

    // Saving the temporary file onto itself copies nothing: it is recorded as
    // it is. Any other target, also a "~tempidl.bin" elsewhere, gets the copy.
    std::string saved = nameToConfirm;
    if (!isTheTempFile(fullPath_, fileName_, programFolder_)) {
        saved = fullPath_ + fileName_;
        if (const std::optional<std::string> failure = copyDownload(tempFilePath(), saved)) {
            prompter_.showMessage("Cannot save the download as " + saved + ": " + *failure +
                                  "\r\nIt stays in " + tempFilePath() +
                                  " until the next download; choose another folder or name.");
            return;
        }
    }
    values_.gLastBinFile = saved;
    // The download is saved: a "lastbin.cfg" that cannot be written only
    // loses the proposal of the next start.
    writeLastBinFile(programFolder_, saved);
    unload();
}

void frmDownload::reject()
{
    switch (stage_) {
    case Stage::Transfer:
        cmdCancel_Click();  // the window unloads when the transfer has ended
        break;
    case Stage::Save:
        if (leaveUnsavedConfirmed()) {
            values_.gStepMode = StepValues::DownloadOnly;
            unload();
        }
        break;
    case Stage::Unloaded:
        break;
    }
}

bool frmDownload::leaveUnsavedConfirmed()
{
    QMessageBox question(
        QMessageBox::Question, QGuiApplication::applicationDisplayName(),
        common::pathText("The download has not been saved.  Close the window without saving it?\n\n"
                         "It stays in " +
                         tempFilePath() + " until the next download."),
        QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("msgLeaveUnsaved"));
    question.button(QMessageBox::Yes)->setObjectName(QStringLiteral("cmdYes"));
    question.button(QMessageBox::No)->setObjectName(QStringLiteral("cmdNo"));
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

void frmDownload::unload()
{
    stage_ = Stage::Unloaded;
    done(QDialog::Accepted);
}

void frmDownload::fitToTexts()
{
    const auto rightInFrame = [](const QLabel& label) { return label.x() + label.width(); };
    // Only the texts of the frame in use count.
    const int framesRight =
        kDownloadingRect.left() + (famGetFilename_->isHidden()
                                       ? rightInFrame(*lblStatus_)
                                       : std::max(rightInFrame(*lblFullPath_), rightInFrame(*lblFilename_)));
    const int needed =
        std::max(lblInstructions_->x() + lblInstructions_->width(), framesRight) + kRightMargin;
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    // The window's frame, once it has one, must fit on the screen too.
    const int frame = frameGeometry().width() - this->width();
    const int widest = screen != nullptr ? screen->availableGeometry().width() - frame : needed;
    const int width = std::max(common::twipsToPixels(kClientWidth), std::min(needed, widest));
    const int frameWidth = width - kDownloadingRect.left() - kRightMargin;
    for (common::ElidedPathLabel* path : {lblFullPath_, lblFilename_})
        path->resize(std::min(path->width(), frameWidth - path->x()), path->height());
    if (width == this->width())
        return;
    setFixedSize(width, common::twipsToPixels(kClientHeight));
    famDownloading_->resize(frameWidth, kDownloadingRect.height());
    famGetFilename_->resize(frameWidth, kGetFilenameRect.height());
    common::centreOnScreen(*this);
}

std::string frmDownload::tempFilePath() const
{
    return common::joinPath(programFolder_, kTempFileName);
}

void frmDownload::setInstructions(std::string_view text)
{
    lblInstructions_->setText(common::fromBytes(text));
    common::placeSizedToText(*lblInstructions_, instructionsPlace_);
    fitToTexts();
}

void frmDownload::setStatus(std::string_view text)
{
    lblStatus_->setText(common::fromBytes(text));
    // The design's width, wider only when the text needs it.
    const int designRight = kStatusRect.right() + 1;
    lblStatus_->resize(std::max(designRight - lblStatus_->x(), lblStatus_->sizeHint().width()),
                       kStatusRect.height());
    fitToTexts();
}

void frmDownload::addTextLine(std::string_view line)
{
    receivedLines_->addItem(common::fromBytes(line));
}

}  // namespace logfetch
