// Process-level services on Qt: the program's path, local time, random
// numbers, blocking waits and message boxes.
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QThread>

#include "platform/qt/qt_shell.h"
#include "platform/system.h"

namespace platform {
namespace {

QMessageBox::StandardButtons ButtonsOf(std::uint32_t style)
{
    switch (style & 0xF) {
    case mb::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case mb::YesNo: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(std::uint32_t style)
{
    switch (style & 0xF0) {
    case mb::IconQuestion: return QMessageBox::Question;
    case mb::IconExclamation: return QMessageBox::Warning;
    default: return QMessageBox::NoIcon;
    }
}

int AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return id::Yes;
    case QMessageBox::No: return id::No;
    case QMessageBox::Cancel: return id::Cancel;
    default: return id::Ok;
    }
}

}  // namespace

std::u16string GetModuleFilePath()
{
    QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    if (path.isEmpty())
        path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return path.toStdU16String();
}

LocalTime GetLocalTimeNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return LocalTime{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::uint32_t RandomNumber() { return QRandomGenerator::global()->generate(); }

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

int ShowMessageBox(WindowHandle /*owner*/, const std::u16string& text, const std::u16string& caption,
                   std::uint32_t style)
{
    // No parent: the owner may be the hidden main window, far off the screen.
    QMessageBox box(IconOf(style), QString::fromStdU16String(caption), QString::fromStdU16String(text),
                    ButtonsOf(style));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowIcon(qt::ProgramIcon());
    if (style & mb::SetForeground)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);  // above the topmost notes
    if ((style & 0xF) == mb::YesNo)
        box.setEscapeButton(QMessageBox::No);
    box.show();
    box.raise();
    box.activateWindow();
    return AnswerOf(box.exec());
}

}  // namespace platform
