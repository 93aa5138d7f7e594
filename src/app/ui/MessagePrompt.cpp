#include "app/ui/MessagePrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <future>
#include <memory>

namespace miradel {
namespace {

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return QMessageBox::Ok;
        case PromptButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case PromptButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Warning:
            return QMessageBox::Warning;
        case PromptIcon::Error:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Retry:
            return PromptAnswer::Retry;
        default:
            break;
    }
    return PromptAnswer::Cancel;
}

QMessageBox* BoxOf(const PromptRequest& request) {
    auto* box = new QMessageBox(IconOf(request.icon), QString::fromStdString(request.caption),
                                QString::fromStdString(request.text), ButtonsOf(request.buttons));
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

}  // namespace

PromptAnswer FirstAnswer(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
        case PromptButtons::OkCancel:
            return PromptAnswer::Ok;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoCancel:
            return PromptAnswer::Yes;
        case PromptButtons::RetryCancel:
            return PromptAnswer::Retry;
    }
    return PromptAnswer::Ok;
}

PromptAnswer MessagePrompt::Ask(const PromptRequest& request) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() == app->thread()) {
        QMessageBox box(IconOf(request.icon), QString::fromStdString(request.caption),
                        QString::fromStdString(request.text), ButtonsOf(request.buttons));
        return AnswerOf(box.exec());
    }
    if (app == nullptr) {
        return FirstAnswer(request.buttons);
    }
    // The engine's questions wait for the operator's answer, as the office expects ("Автономный
    // режим?", the database retry). The wait is bounded: while the window thread itself waits
    // for the engine (the first tick), the box cannot appear, and the engine must not hang.
    auto answer = std::make_shared<std::promise<PromptAnswer>>();
    std::future<PromptAnswer> future = answer->get_future();
    QMetaObject::invokeMethod(
        app,
        [request, answer] {
            QMessageBox* box = BoxOf(request);
            QObject::connect(box, &QMessageBox::finished, box, [box, answer](int) {
                answer->set_value(AnswerOf(box->standardButton(box->clickedButton())));
            });
            box->show();
        },
        Qt::QueuedConnection);
    if (future.wait_for(kEngineQuestionWait) == std::future_status::ready) {
        return future.get();
    }
    return FirstAnswer(request.buttons);
}

}  // namespace miradel
