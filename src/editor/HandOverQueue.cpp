#include "editor/HandOverQueue.h"

#include <QApplication>

namespace korvel {

namespace {
/// How often a waiting hand-over looks whether the modal dialog has gone.
constexpr int RetryMs = 200;
} // namespace

HandOverQueue::HandOverQueue(Opener open, QObject* parent)
    : QObject(parent)
    , open_(std::move(open))
{
    retry_.setSingleShot(true);
    retry_.setInterval(RetryMs);
    connect(&retry_, &QTimer::timeout, this, &HandOverQueue::drain);
}

void HandOverQueue::add(const QString& path)
{
    paths_.push_back(path);
    drain();
}

void HandOverQueue::drain()
{
    // Opening one path may show a message box; hand-overs arriving meanwhile wait their turn
    // here instead of opening inside that box's event loop.
    if (opening_)
        return;
    opening_ = true;
    while (!paths_.empty()) {
        if (QApplication::activeModalWidget()) {
            retry_.start();
            break;
        }
        const QString path = paths_.front();
        paths_.pop_front();
        open_(path);
    }
    opening_ = false;
}

} // namespace korvel
