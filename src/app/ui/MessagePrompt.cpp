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

namespace {
// Boxes of other threads' questions now on screen (window thread only).
int openQuestions = 0;
}  // namespace

void PumpWhileWaiting() {
    // The operator's clicks and keys wait for the engine, so no command starts inside
    // another; only an open question box (application-modal, nothing else takes input then)
    // must hear its click, or the engine it belongs to would wait for ever.
    QCoreApplication::processEvents(
        openQuestions > 0 ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents, 5);
}

PromptAnswer MessagePrompt::Ask(const PromptRequest& request) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || autoAnswer_) {
        return FirstAnswer(request.buttons);
    }
    if (QThread::currentThread() == app->thread()) {
        QMessageBox box(IconOf(request.icon), QString::fromStdString(request.caption),
                        QString::fromStdString(request.text), ButtonsOf(request.buttons));
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        return AnswerOf(box.exec());
    }
    // The engine waits for the operator's answer. Only a window thread that can never show
    // the box (it waits for this very thread in a place that runs no events, e.g. a worker
    // being stopped at exit) makes the wait end, after kOtherThreadQuestionWait, with the
    // box's first button.
    auto answer = std::make_shared<std::promise<PromptAnswer>>();
    std::future<PromptAnswer> future = answer->get_future();
    QMetaObject::invokeMethod(
        app,
        [request, answer] {
            auto* box =
                new QMessageBox(IconOf(request.icon), QString::fromStdString(request.caption),
                                QString::fromStdString(request.text), ButtonsOf(request.buttons));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::ApplicationModal);
            box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            ++openQuestions;
            QObject::connect(box, &QMessageBox::finished, box, [box, answer](int) {
                --openQuestions;
                answer->set_value(AnswerOf(box->standardButton(box->clickedButton())));
            });
            box->show();
        },
        Qt::QueuedConnection);
    if (future.wait_for(kOtherThreadQuestionWait) == std::future_status::ready) {
        return future.get();
    }
    return FirstAnswer(request.buttons);
}

}  // namespace miradel
