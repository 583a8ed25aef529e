#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tabwright {

// "About": the program's icon, title and version.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Shows the box modally until OK, Enter, Escape or the frame closes it;
    // it is hidden afterwards, ready to be shown again.
    void ShowForm();

    void reject() override;

protected:
    bool event(QEvent* event) override;

private:
    void Form_Activate();
    void cmdOK_Click();

    QLabel* imgIcon_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QPushButton* cmdOK_;
};

}  // namespace tabwright
