#include "logfetch/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/core/single_byte_text.h"
#include "common/widgets/twips.h"
#include "common/widgets/window_text.h"
#include "logfetch/convert/jfix_table.h"
#include "logfetch/program_identity.h"
#include "logfetch/windows/startup_values.h"

namespace logfetch {

namespace {

// The client area holds the right column's button with a margin of 240 twips.
constexpr int kClientWidthTwips = 9015;
constexpr int kClientHeightTwips = 2415;

QPushButton* placedButton(const char* objectName, const char* caption, QRect geometry, QWidget* parent)
{
    auto* button = common::namedButton(objectName, caption, parent);
    button->setGeometry(geometry);
    return button;
}

// The design's widths fit its own, narrower font. Stretches the window and
// its controls sideways by one factor, so every caption fits on one line and
// the columns keep their proportions.
void widenToFitCaptions(QWidget& client, const std::vector<QPushButton*>& buttons)
{
    constexpr int kCaptionMargin = 24;
    double factor = 1.0;
    for (const QPushButton* button : buttons) {
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + kCaptionMargin;
        factor = std::max(factor, static_cast<double>(needed) / button->width());
    }
    if (factor == 1.0)
        return;
    const auto stretched = [factor](int x) { return static_cast<int>(std::lround(x * factor)); };
    for (QWidget* child : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(stretched(g.left()), g.top(), stretched(g.width()), g.height());
    }
    client.setFixedWidth(stretched(client.width()));
}

// A failing step must not end the all-steps sequence: its error is passed over.
template <typename Step>
void skippingFailure(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

frmMain::frmMain(StepValues& values, StepWindows& steps, std::string programFolder, QWidget* parent)
    : QMainWindow(parent),
      values_(values),
      steps_(steps),
      programFolder_(std::move(programFolder)),
      about_(this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Internal Data Logger"));
    auto* client = new QWidget(this);
    client->setFixedSize(common::twipsSize(kClientWidthTwips, kClientHeightTwips));
    setCentralWidget(client);
    buildButtons(client);
    connect(cmdSerialPortSetup_, &QPushButton::clicked, this, &frmMain::cmdSerialPortSetup_Click);
    connect(cmdDownload_, &QPushButton::clicked, this, &frmMain::cmdDownload_Click);
    connect(cmdConvertBINtoPRN_, &QPushButton::clicked, this, &frmMain::cmdConvertBINtoPRN_Click);
    connect(cmdAllSteps_, &QPushButton::clicked, this, &frmMain::cmdAllSteps_Click);
    createMenus();
    Form_Load();
}

void frmMain::buildButtons(QWidget* client)
{
    using common::twipsRect;
    cmdSerialPortSetup_ =
        placedButton("cmdSerialPortSetup", "Serial Port Setup", twipsRect(240, 720, 3615, 375), client);
    cmdDownload_ = placedButton("cmdDownload", "Download Data From Instrument To File",
                                twipsRect(240, 1200, 3615, 375), client);
    cmdConvertBINtoPRN_ = placedButton("cmdConvertBINtoPRN", "Convert Downloaded Data File to ASCII File",
                                       twipsRect(240, 1680, 3615, 375), client);
    orLabel_ = common::plainLabel("Label1", "-OR-", client);
    orLabel_->setGeometry(twipsRect(4080, 1440, 495, 240));
    cmdAllSteps_ = placedButton("cmdAllSteps", "Download and Convert Data from Instrument to File",
                                twipsRect(4800, 1200, 3975, 855), client);
    jfixTable_ = new QListWidget(client);
    jfixTable_->setObjectName(QStringLiteral("List1"));
    jfixTable_->hide();

    widenToFitCaptions(*client, {cmdSerialPortSetup_, cmdDownload_, cmdConvertBINtoPRN_, cmdAllSteps_});

    setTabOrder(cmdSerialPortSetup_, cmdDownload_);
    setTabOrder(cmdDownload_, cmdConvertBINtoPRN_);
    setTabOrder(cmdConvertBINtoPRN_, cmdAllSteps_);
}

void frmMain::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* exit = addMenuEntry(*file, "mnuFileExit", "E&xit", {}, nullptr);
    connect(exit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    addMenuEntry(*tools, "mnuToolsSerialPortSetup", "Serial &Port Setup", Qt::Key_F2, cmdSerialPortSetup_);
    addMenuEntry(*tools, "mnuToolsDownload", "&Download", Qt::Key_F3, cmdDownload_);
    addMenuEntry(*tools, "mnuToolsConvert", "&Convert", Qt::Key_F4, cmdConvertBINtoPRN_);
    addMenuEntry(*tools, "mnuToolsDownloadAndConvert", "Download &and Convert", Qt::Key_F5, cmdAllSteps_);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* about = addMenuEntry(*help, "mnuHelpAbout", "&About", {}, nullptr);
    connect(about, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

QAction* frmMain::addMenuEntry(QMenu& menu, const char* objectName, const char* caption,
                               const QKeySequence& shortcut, QPushButton* pressedButton)
{
    QAction* action = menu.addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    // A Tools entry presses its button, which runs that button's action.
    if (pressedButton != nullptr)
        connect(action, &QAction::triggered, pressedButton, &QPushButton::click);
    return action;
}

void frmMain::Form_Load()
{
    for (const std::string& item : MakeJfixTable(programFolder_))
        jfixTable_->addItem(QString::fromStdString(item));
    setWindowTitle(common::fromBytes(kProgramTitle) + QLatin1Char(' ') +
                   QString::fromStdString(versionText()));
    loadStartupValues(programFolder_, values_);
}

void frmMain::cmdSerialPortSetup_Click()
{
    steps_.showPortSelection();
}

void frmMain::cmdDownload_Click()
{
    values_.gStepMode = StepValues::DownloadOnly;
    steps_.runDownload();
}

void frmMain::cmdConvertBINtoPRN_Click()
{
    values_.gStepMode = StepValues::ConversionOnly;
    steps_.showConversion();
}

void frmMain::cmdAllSteps_Click()
{
    values_.gStepMode = StepValues::AllSteps;
    skippingFailure([this] { steps_.runDownload(); });
    // The download leaves gStepMode at 3 only when it was neither cancelled
    // nor stopped by its port; the conversion then starts by itself.
    if (values_.gStepMode == StepValues::AllSteps)
        skippingFailure([this] { steps_.showConversion(); });
}

void frmMain::mnuFileExit_Click()
{
    QApplication::exit(0);
}

void frmMain::mnuHelpAbout_Click()
{
    about_.ShowForm();
}

}  // namespace logfetch
