#include "common/message_box_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace common {

QString messageText(std::string_view text)
{
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

MessageBoxPrompter::MessageBoxPrompter(QString programTitle, QWidget* parent)
    : title_(std::move(programTitle)), parent_(parent)
{
}

void MessageBoxPrompter::showMessage(std::string_view text)
{
    QWidget* over = parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, title_, messageText(text), QMessageBox::Ok, over);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace common
