#include "errorbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

#include "errors.h"

namespace zk::ui {

QString ErrorBoxTitle() {
    return QString::fromStdString(
        ErrorBoxCaption(QCoreApplication::applicationFilePath().toStdString()));
}

void ShowErrorBox(QWidget* parent, const std::string& message) {
    QMessageBox box(QMessageBox::Critical, ErrorBoxTitle(),
                    QString::fromStdString(ErrorBoxMessage(message)), QMessageBox::Ok, parent);
    // File names and system texts are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool RunUnderErrorBox(QWidget* parent, const std::function<void()>& action, FaultWords words) {
    std::string message;
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        // The field's faults speak the window's language; the original fixed texts have only one.
        message = words(error);
    } catch (...) {
        message = "Unknown error";
    }
    // Shown outside the handler, so that the box's own event loop runs with no exception alive.
    ShowErrorBox(parent, message);
    return false;
}

}  // namespace zk::ui
