#include "tabwright/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

#include "common/core/single_byte_text.h"
#include "common/widgets/bgr_colour.h"
#include "common/widgets/elided_label.h"
#include "common/widgets/qt_file_dialog.h"
#include "common/widgets/window_text.h"
#include "tabwright/capture/capture_settings.h"
#include "tabwright/capture/com_fifo.h"
#include "tabwright/files/journal_rebuild.h"
#include "tabwright/capture/program_identity.h"
#include "tabwright/files/workbook_files.h"
#include "tabwright/windows/about_window.h"
#include "tabwright/windows/com_port_window.h"
#include "tabwright/windows/excel_macro_window.h"
#include "tabwright/windows/program_icon.h"
#include "tabwright/windows/readings_chart_menu.h"

namespace tabwright {

namespace {

constexpr unsigned kDesignLampColour = 0xC0C0C0;
constexpr unsigned kYellow = 65535;
constexpr unsigned kGreen = 65280;
constexpr unsigned kRed = 255;
constexpr int kTickMilliseconds = 100;
constexpr QSize kLampSize{28, 18};
constexpr int kIconSide = 24;
constexpr int kStatusWidth = 320;
constexpr QChar kZeroWidthSpace{0x200B};

// A label whose mnemonic gives the focus to (and so presses by Space) `buddy`.
QLabel* mnemonicLabel(const char* name, const char* caption, QWidget* buddy)
{
    auto* label = new QLabel(QString::fromLatin1(caption), buddy->parentWidget());
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(buddy);
    return label;
}

QFrame* lamp(const char* name, QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setFixedSize(kLampSize);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, common::colourFromBgr(kDesignLampColour));
    box->setPalette(palette);
    return box;
}

QLabel* icon(const char* name, const char* picture, QWidget* parent)
{
    QLabel* label = common::plainLabel(name, "", parent);
    label->setPixmap(svgPicture(QString::fromLatin1(picture), kIconSide));
    return label;
}

// "CO&M 3": the label leads its "..." button's mnemonic.
QString portText(int number)
{
    return QStringLiteral("CO&M ") + QString::number(number);
}

// A reason wraps at its spaces; a long path or device name in it may also break after a
// slash, a hyphen or an underscore, so no part of it is cut.
QString wrappable(const QString& reason)
{
    QString text;
    text.reserve(reason.size() + reason.size() / 8);
    for (const QChar character : reason) {
        text += character;
        if (character == QLatin1Char('/') || character == QLatin1Char('-') || character == QLatin1Char('_'))
            text += kZeroWidthSpace;
    }
    return text;
}

}  // namespace

frmMain::frmMain(MainWindowParts parts, QWidget* parent)
    : QMainWindow(parent),
      parts_(parts),
      portSource_(parts.port),
      textSource_(portSource_, parts.emulator),
      journal_(parts.dataFolder),
      run_(CaptureRunParts{parts.spreadsheets, textSource_, parts.clock, *this, *this, parts.prompter, journal_}),
      tmrMain_(this)
{
    setObjectName(QStringLiteral("frmMain"));
    buildControls();
    buildMenus();
    tmrMain_.setObjectName(QStringLiteral("tmrMain"));
    tmrMain_.setInterval(kTickMilliseconds);
    connect(&tmrMain_, &QTimer::timeout, this, &frmMain::tmrMain_Timer);
    // The port's label names what feeds the run: it changes with the emulator.
    parts_.emulator.setSwitchedHandler([this] { showPortNumber(); });
    Form_Load();
}

frmMain::~frmMain()
{
    parts_.emulator.setSwitchedHandler({});
}

void frmMain::setEmulatorWindowHooks(EmulatorWindowHooks hooks)
{
    emulator_ = std::move(hooks);
}

void frmMain::buildControls()
{
    auto* centre = new QWidget(this);
    buildStatusFrame(centre);
    QLayout* buttons = buildRunButtons(centre);
    auto* layout = new QHBoxLayout(centre);
    layout->addWidget(fraStatus_, 1);
    layout->addLayout(buttons);
    setCentralWidget(centre);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The window itself follows its contents too: a reason that clears gives its height back.
    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMain::buildStatusFrame(QWidget* centre)
{
    fraStatus_ = new QGroupBox(QStringLiteral("Status"), centre);
    fraStatus_->setObjectName(QStringLiteral("fraStatus"));
    panComPort_ = lamp("panComPort", fraStatus_);
    imgComPort_ = icon("imgComPort", ":/icons/com-port.svg", fraStatus_);
    cmdComPorts_ = common::namedButton("cmdComPorts", "...", fraStatus_);
    lblComPort_ = mnemonicLabel("lblComPort", "CO&M PORT", cmdComPorts_);
    panExcel_ = lamp("panExcel", fraStatus_);
    imgExcel_ = icon("imgExcel", ":/icons/spreadsheet.svg", fraStatus_);
    cmdExcelMacro_ = common::namedButton("cmdExcelMacro", "...", fraStatus_);
    lblExcel_ = mnemonicLabel("lblExcel", "MS E&XCEL", cmdExcelMacro_);
    buildStatusLine();
    for (QPushButton* dots : {cmdComPorts_, cmdExcelMacro_})
        dots->setFixedWidth(dots->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    connect(cmdComPorts_, &QPushButton::clicked, this, &frmMain::cmdComPorts_Click);
    connect(cmdExcelMacro_, &QPushButton::clicked, this, &frmMain::cmdExcelMacro_Click);

    auto* rows = new QGridLayout(fraStatus_);
    rows->addWidget(panComPort_, 0, 0);
    rows->addWidget(imgComPort_, 0, 1);
    rows->addWidget(lblComPort_, 0, 2);
    rows->addWidget(cmdComPorts_, 0, 3);
    rows->addWidget(panExcel_, 1, 0);
    rows->addWidget(imgExcel_, 1, 1);
    rows->addWidget(lblExcel_, 1, 2);
    rows->addWidget(cmdExcelMacro_, 1, 3);
    rows->addWidget(panStatus_, 2, 0, 1, 4);
    rows->addWidget(lblStatusReason_, 3, 0, 1, 4);
    rows->setColumnStretch(2, 1);
}

void frmMain::buildStatusLine()
{
    // A long status (a journal's path) is elided instead of widening the window.
    panStatus_ = new common::ElidedLabel("panStatus", fraStatus_);
    panStatus_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panStatus_->setMinimumWidth(kStatusWidth);
    // Why the step shown failed, under the status line; hidden while nothing failed.
    lblStatusReason_ = common::plainLabel("lblStatusReason", "", fraStatus_);
    lblStatusReason_->setWordWrap(true);
    lblStatusReason_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStatusReason_->setFixedWidth(kStatusWidth);
    lblStatusReason_->hide();
}

QLayout* frmMain::buildRunButtons(QWidget* centre)
{
    cmdStart_ = common::namedButton("cmdStart", "&Start", centre);
    cmdPause_ = common::namedButton("cmdPause", "&Pause", centre);
    cmdResume_ = common::namedButton("cmdResume", "&Resume", centre);
    cmdStop_ = common::namedButton("cmdStop", "S&top", centre);
    cmdClose_ = common::namedButton("cmdClose", "&Close", centre);
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdStart_, 0, 0);
    // Pause and Resume share one place; the run decides which one is in front.
    buttons->addWidget(cmdResume_, 1, 0);
    buttons->addWidget(cmdPause_, 1, 0);
    cmdPause_->raise();
    buttons->addWidget(cmdStop_, 2, 0);
    buttons->setRowStretch(3, 1);
    buttons->addWidget(cmdClose_, 4, 0);
    connect(cmdStart_, &QPushButton::clicked, this, &frmMain::cmdStart_Click);
    connect(cmdPause_, &QPushButton::clicked, this, &frmMain::cmdPause_Click);
    connect(cmdResume_, &QPushButton::clicked, this, &frmMain::cmdResume_Click);
    connect(cmdStop_, &QPushButton::clicked, this, &frmMain::cmdStop_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &frmMain::cmdClose_Click);
    return buttons;
}

void frmMain::buildMenus()
{
    // Alt+T belongs to S&top, the button a run must always be able to reach.
    QMenu* tools = menuBar()->addMenu(QStringLiteral("T&ools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsDLREmulation_ = tools->addAction(QStringLiteral("&Emulator"));
    mnuToolsDLREmulation_->setObjectName(QStringLiteral("mnuToolsDLREmulation"));
    mnuToolsJournalFolder_ = tools->addAction(QStringLiteral("Open &Journal Folder"));
    mnuToolsJournalFolder_->setObjectName(QStringLiteral("mnuToolsJournalFolder"));
    mnuToolsFollowNewestRow_ = tools->addAction(QStringLiteral("&Follow Newest Row"));
    mnuToolsFollowNewestRow_->setObjectName(QStringLiteral("mnuToolsFollowNewestRow"));
    mnuToolsFollowNewestRow_->setCheckable(true);
    mnuToolsRebuildFromJournal_ = tools->addAction(QStringLiteral("&Rebuild From Journal..."));
    mnuToolsRebuildFromJournal_->setObjectName(QStringLiteral("mnuToolsRebuildFromJournal"));
    readingsCharts_ = std::make_unique<ReadingsChartMenu>(*tools, run_, parts_.clock, parts_.prompter, *this);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout_ = help->addAction(QStringLiteral("&About..."));
    mnuHelpAbout_->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuToolsDLREmulation_, &QAction::triggered, this, &frmMain::mnuToolsDLREmulation_Click);
    connect(mnuToolsJournalFolder_, &QAction::triggered, this, &frmMain::mnuToolsJournalFolder_Click);
    connect(mnuToolsFollowNewestRow_, &QAction::triggered, this, &frmMain::mnuToolsFollowNewestRow_Click);
    connect(mnuToolsRebuildFromJournal_, &QAction::triggered, this,
            &frmMain::mnuToolsRebuildFromJournal_Click);
    connect(mnuHelpAbout_, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::Form_Load()
{
    setWindowTitle(QStringLiteral("Tabwright  v") + QString::fromStdString(versionNumber()));
    placeOnScreen();
    const CaptureSettings settings = readCaptureSettings(parts_.settings);
    parts_.port.setPortNumber(settings.comPort);
    showPortNumber();
    run_.setMacro(settings.macroEnabled, settings.macroName);
    run_.setFollowNewestRow(settings.followNewestRow);
    mnuToolsFollowNewestRow_->setChecked(settings.followNewestRow);
    // Enabled from the start, as designed: the first tick only switches it off.
    tmrMain_.start();
}

void frmMain::placeOnScreen()
{
    adjustSize();
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    move(area.left(), area.top() + (area.height() - height()) / 4);
}

void frmMain::showPortNumber()
{
    const QString port = portText(parts_.port.portNumber());
    if (textSource_.emulatorFeeds()) {
        // The same mnemonic as "CO&M n": Alt+M still reaches the port's "..." button.
        lblComPort_->setText(QStringLiteral("E&mulator"));
        lblComPort_->setToolTip(QStringLiteral("The emulator feeds the capture; COM ") +
                                QString::number(parts_.port.portNumber()) +
                                QStringLiteral(" is not opened while the emulator is open."));
    } else {
        lblComPort_->setText(port);
        lblComPort_->setToolTip(QString());
    }
    lblComPort_->repaint();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::saveSettings()
{
    writeCaptureSettings(parts_.settings, CaptureSettings{parts_.port.portNumber(), run_.macroEnabled(),
                                                          run_.macroName(), run_.followNewestRow()});
}

void frmMain::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // A run still open ends as Stop ends it, macro included: its rows are in the workbook
    // the user is then asked to save, not lost with a paused run.
    run_.stopIfOn();
    rebuildSteps_.finish();
    saveSettings();
    // The windows go before the spreadsheet application is quit, which waits for it to end:
    // nothing unanswering stays on the screen meanwhile.
    excelMacro_.reset();
    about_.reset();
    if (emulator_.unload)
        emulator_.unload();
    hide();
    run_.quitSpreadsheet();
}

void frmMain::cmdStart_Click()
{
    readingsCharts_->runStarting();
    run_.start();
}

void frmMain::cmdPause_Click()
{
    run_.pause();
}

void frmMain::cmdResume_Click()
{
    run_.resume();
}

void frmMain::cmdStop_Click()
{
    run_.stop();
}

void frmMain::cmdClose_Click()
{
    close();
}

void frmMain::cmdComPorts_Click()
{
    frmComPort choice(this);
    const int number = choice.GetPort(parts_.port.portNumber());
    parts_.port.setPortNumber(number);
    DisableComFifo(number, parts_.platform, parts_.settings);
    showPortNumber();
    saveSettings();
}

void frmMain::cmdExcelMacro_Click()
{
    if (!excelMacro_)
        excelMacro_ = std::make_unique<frmExcelMacro>(this);
    excelMacro_->setMacroEnable(run_.macroEnabled());
    excelMacro_->setMacroName(run_.macroName());
    if (excelMacro_->ShowForm()) {
        run_.setMacro(excelMacro_->MacroEnable(), excelMacro_->MacroName());
        saveSettings();
    }
}

void frmMain::tmrMain_Timer()
{
    run_.tick([] { QCoreApplication::processEvents(); });
}

void frmMain::mnuToolsDLREmulation_Click() const
{
    if (emulator_.show)
        emulator_.show();
}

void frmMain::mnuToolsJournalFolder_Click()
{
    // Made when missing (owner-only, as the journal makes it), so the file manager opens
    // the folder the journals will be in rather than failing.
    const QString folder = common::pathText(run_.journal().folder());
    if (!QDir(folder).exists() && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Without a file manager nothing would show: the user gets the folder's path instead.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        parts_.prompter.showMessage(
            "No file manager could open the journal folder. The journals are in:\r\n" +
            run_.journal().folder());
}

void frmMain::mnuToolsFollowNewestRow_Click(bool checked)
{
    run_.setFollowNewestRow(checked);
    saveSettings();
}

void frmMain::mnuToolsRebuildFromJournal_Click()
{
    if (journalDialog_ == nullptr) {
        qtFileDialog_ = std::make_unique<common::QtFileDialog>(this);
        journalDialog_ = qtFileDialog_.get();
    }
    const auto journal =
        journalDialog_->open({run_.journal().folder(), "", "Capture Journal (*.txt)|*.txt|All File (*.*)|*.*",
                              "Rebuild From Journal: Choose a Capture Journal"});
    if (!journal)
        return;
    // Calc starts and the journal is written in a thread of its own: the window answers and
    // a capture in progress goes on meanwhile.
    mnuToolsRebuildFromJournal_->setEnabled(false);
    run_.showTaskOutcome("Rebuilding", *journal, "");
    auto rebuild = std::make_shared<JournalRebuild>();
    rebuildSteps_.run([rebuild, &spreadsheets = parts_.spreadsheets, path = *journal,
                       &clock = parts_.clock] { *rebuild = rebuildFromJournal(spreadsheets, path, clock); },
                      [this, rebuild] { showRebuild(*rebuild); });
}

void frmMain::showRebuild(JournalRebuild& rebuild)
{
    if (rebuild.spreadsheet.application || rebuild.spreadsheet.sheet)
        rebuilt_ = std::move(rebuild.spreadsheet);
    mnuToolsRebuildFromJournal_->setEnabled(true);
    run_.showTaskOutcome(rebuild.status, rebuild.path, rebuild.reason);
    for (const std::string& warning : rebuild.warnings)
        parts_.prompter.showMessage(warning);
}

void frmMain::mnuHelpAbout_Click()
{
    if (!about_)
        about_ = std::make_unique<frmAbout>(this);
    about_->ShowForm();
}

void frmMain::showRun(const RunPicture& picture)
{
    const RunLook look = lookOf(picture);
    if (look.portLamp)
        showLamp(panComPort_, *look.portLamp);
    if (look.excelLamp)
        showLamp(panExcel_, *look.excelLamp);
    showStatus(common::fromBytes(statusText(picture)), common::pathText(picture.path));
    showReason(QString::fromStdString(picture.reason));
    for (std::size_t which = 0; which < kRunButtonCount; ++which) {
        if (look.enabled[which])
            button(static_cast<RunButton>(which))->setEnabled(*look.enabled[which]);
    }
    if (look.inFront)
        button(*look.inFront)->raise();
    keepFocusOffClose(picture.phase);
}

void frmMain::keepFocusOffClose(RunPhase phase)
{
    // While a run is open a Space must never reach Close: it may not take the focus, and
    // the focus goes to the one of Pause and Resume in front (or Stop), which Space only
    // pauses or resumes.
    const bool runOpen =
        phase != RunPhase::Stopped && phase != RunPhase::WorkbookFailed && phase != RunPhase::PortFailed;
    cmdClose_->setFocusPolicy(runOpen ? Qt::NoFocus : Qt::StrongFocus);
    const bool phaseChanged = std::exchange(focusPhase_, phase) != phase;
    QWidget* focus = QApplication::focusWidget();
    const bool focusAway = focus == nullptr || !focus->isEnabled() || focus == cmdClose_ || focus == this;
    // A run button that changed keeps the focus on the one that toggles; a count shown
    // leaves it where the user put it.
    const bool onRunButton =
        focus == cmdStart_ || focus == cmdPause_ || focus == cmdResume_ || focus == cmdStop_;
    if (!runOpen || !(focusAway || (phaseChanged && onRunButton)) || window() != QApplication::activeWindow())
        return;
    for (QPushButton* next : {cmdPause_, cmdResume_, cmdStop_}) {
        if (next->isEnabled()) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // Opening: nothing may take the focus yet; the window keeps it for its mnemonics.
    setFocus(Qt::OtherFocusReason);
}

void frmMain::showLamp(QFrame* lamp, LampColour colour)
{
    QPalette palette = lamp->palette();
    switch (colour) {
    case LampColour::Yellow:
        palette.setColor(QPalette::Window, common::colourFromBgr(kYellow));
        break;
    case LampColour::Green:
        palette.setColor(QPalette::Window, common::colourFromBgr(kGreen));
        break;
    case LampColour::Red:
        palette.setColor(QPalette::Window, common::colourFromBgr(kRed));
        break;
    case LampColour::Background:
        palette.setColor(QPalette::Window, fraStatus_->palette().color(fraStatus_->backgroundRole()));
        break;
    }
    if (palette == lamp->palette())
        return;
    lamp->setPalette(palette);
    lamp->repaint();
}

void frmMain::showStatus(const QString& text, const QString& path)
{
    // The words and figures come first and stay whole; only the path is shortened.
    const QString whole = path.isEmpty() ? text : text + QLatin1Char(' ') + path;
    if (whole == panStatus_->text())
        return;
    panStatus_->setWholeText(whole, path.isEmpty() ? 0 : text.size() + 1);
    panStatus_->repaint();
}

void frmMain::showReason(const QString& reason)
{
    if (reason == lblStatusReason_->toolTip())
        return;
    // The whole reason, its advice included, wrapped under the status.
    lblStatusReason_->setText(wrappable(reason.simplified()));
    lblStatusReason_->setToolTip(reason);
    // The window's fixed size follows size hints, not the height a wrapped text needs.
    lblStatusReason_->setFixedHeight(lblStatusReason_->heightForWidth(kStatusWidth));
    lblStatusReason_->setVisible(!reason.isEmpty());
    lblStatusReason_->repaint();
    // The window's height follows at once, growing for the reason and shrinking back.
    for (QLayout* level : {centralWidget()->layout(), layout()}) {
        level->invalidate();
        level->activate();
    }
}

QPushButton* frmMain::button(RunButton which) const
{
    switch (which) {
    case RunButton::Start:
        return cmdStart_;
    case RunButton::Stop:
        return cmdStop_;
    case RunButton::Pause:
        return cmdPause_;
    case RunButton::Resume:
        return cmdResume_;
    case RunButton::ComPorts:
        return cmdComPorts_;
    }
    return cmdStart_;
}

void frmMain::bringWindowToFront()
{
    // The window manager decides whether a program may take the focus; asking both the
    // widget and its native window covers the common desktops. Refusals are ignored.
    // An open emulator window comes too, so the spreadsheet Start opened hides neither.
    if (emulator_.bringToFront)
        emulator_.bringToFront();
    show();
    raise();
    activateWindow();
    if (QWindow* window = windowHandle())
        window->requestActivate();
}

void frmMain::setTimerEnabled(bool enabled)
{
    if (enabled)
        tmrMain_.start(kTickMilliseconds);
    else
        tmrMain_.stop();
}

void frmMain::rearmAtOnce()
{
    tmrMain_.start(0);
}

}  // namespace tabwright
