#include "app/document_loader.h"

#include "document/carinova_doc.h"
#include "platform/user_interaction.h"
#include "progress_indicator.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <mutex>
#include <vector>

namespace {
// How often the status bar catches up with the reading.
constexpr int kProgressIntervalMs = 50;
} // namespace

// The user interaction of the reading thread: messages are kept for later (a plain box is
// answered OK, a question with its negative answer), the progress is counted for the status
// bar, and no dialog is ever shown.
class CDocumentLoader::CDeferredInteraction : public CUserInteraction {
public:
    struct CMessage {
        std::string text, caption;
        MsgButtons buttons;
        MsgIcon icon;
    };

    MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        const std::lock_guard lock(mutex_);
        messages_.push_back({text, caption, buttons, icon});
        switch (buttons) {
        case MsgButtons::OK:
            return MsgAnswer::OK;
        case MsgButtons::OKCancel:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            break;
        }
        return MsgAnswer::No;
    }
    CFileDialogResult FileDialog(const CFileDialogRequest&) override { return {}; }
    bool DoModal(CModalSheet&) override { return false; }
    std::unique_ptr<CReadingProgress> CreateReadingProgress() override {
        return std::make_unique<CSilentReadingProgress>();
    }
    void BeginProgress(int maximum) override {
        steps_ = 0;
        maximum_ = maximum;
    }
    void StepProgress() override { ++steps_; }
    void EndProgress() override { maximum_ = -1; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    bool ShowHelp(const std::string&) override { return false; }

    std::vector<CMessage> TakeMessages() {
        const std::lock_guard lock(mutex_);
        return std::move(messages_);
    }
    // -1 while no counted progress runs.
    int Maximum() const { return maximum_; }
    int Steps() const { return steps_; }

private:
    std::mutex mutex_;
    std::vector<CMessage> messages_;
    std::atomic<int> maximum_{-1};
    std::atomic<int> steps_{0};
};

CDocumentLoader::CDocumentLoader(CUserInteraction& ui, CProgressIndicator* progress)
    : ui_(ui), progress_(progress), deferred_(std::make_unique<CDeferredInteraction>()) {}

CDocumentLoader::~CDocumentLoader() = default;

std::unique_ptr<CCarinovaDoc> CDocumentLoader::Load(const std::string& path) {
    auto doc = std::make_unique<CCarinovaDoc>(*deferred_);
    bool opened = false;
    std::exception_ptr failure;
    {
        CWaitCursor wait(ui_);
        QThread* reader = QThread::create([&] {
            try {
                opened = doc->OnOpenDocument(path);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        QEventLoop loop;
        QObject::connect(reader, &QThread::finished, &loop, &QEventLoop::quit);
        QTimer poll;
        int shownMaximum = -2; // neither counting (>= 0) nor busy (-1) yet
        const auto showProgress = [&] {
            if (!progress_)
                return;
            const int maximum = deferred_->Maximum();
            if (maximum != shownMaximum) {
                shownMaximum = maximum;
                if (maximum < 0)
                    progress_->BeginBusyProgress();
                else
                    progress_->BeginProgress(maximum);
            }
            if (maximum >= 0)
                progress_->SetProgressSteps(deferred_->Steps());
        };
        QObject::connect(&poll, &QTimer::timeout, &loop, showProgress);
        showProgress();
        poll.start(kProgressIntervalMs);
        reader->start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        reader->wait();
        delete reader;
        if (progress_)
            progress_->EndProgress();
    }
    for (const CDeferredInteraction::CMessage& m : deferred_->TakeMessages())
        ui_.MessageBox(m.text, m.caption, m.buttons, m.icon);
    if (failure)
        std::rethrow_exception(failure);
    return opened ? std::move(doc) : nullptr;
}
