#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace logfetch {

// "About": the program's title, its version text, what the program is for, a
// pointer to the maker's web page and a one-line notice.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Loads the box and shows it modally until OK closes it.
    void ShowForm();

private:
    void Form_Load();
    void cmdOK_Click();

    QLabel* lblTitle1_;
    QLabel* lblTitle2_;
    QLabel* purpose_;
    QLabel* notice_;
    QPushButton* cmdOK_;
};

}  // namespace logfetch
