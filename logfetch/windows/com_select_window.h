#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "common/core/prompter.h"
#include "serial/port_numbering.h"
#include "serial/serial_port.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace logfetch {

// "Serial / COM Port Selection": offers the ports among COM1 to COM5 that can
// be opened at this moment and keeps the user's choice in "serialport.cfg" in
// the program's folder, its only outcome. The download window reads the file
// each time it opens. Each opening probes the ports and reads the file
// afresh; nothing is kept from one opening to the next.
class frmComSelect : public QDialog {
    Q_OBJECT

public:
    // probePort: the port used only to try each number (open, check, close);
    // it is closed whenever the dialog is not loading.
    frmComSelect(serial::SerialPort& probePort, common::Prompter& prompter, std::string programFolder,
                 QWidget* parent = nullptr);

    // Loads the dialog afresh and shows it modally until it closes. Closing it
    // by its frame or with Escape leaves the file as it was.
    void ShowForm();

private:
    void Form_Load();
    void cmdOK_Click();

    void addPortItem(int number, const std::vector<serial::PortEntry>& devices);
    void placeControls();

    serial::SerialPort& probePort_;
    common::Prompter& prompter_;
    const std::string programFolder_;

    QLabel* introduction_;
    QLabel* question_;
    QComboBox* cboPortOptions_;
    QPushButton* cmdOK_;
};

}  // namespace logfetch
