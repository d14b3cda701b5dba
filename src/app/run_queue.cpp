#include "run_queue.h"

#include "pipeline/run.h"
#include "state/globals.h"

#include <QEventLoop>
#include <QThread>

RunQueue::RunQueue(QObject* parent) : QObject(parent) {}

RunQueue::~RunQueue() {
    queue_.clear();
    if (worker_) {
        RunControl::RequestStop();
        worker_->wait();
        delete worker_;
        RunControl::ClearStop();
    }
}

void RunQueue::AddDrop(const QStringList& paths) {
    Add(Job{true, paths, {}});
}

void RunQueue::AddList(const MArray& list) {
    Add(Job{false, {}, list});
}

void RunQueue::Add(Job job) {
    queue_.enqueue(std::move(job));
    if (Running() || held_ > 0)
        emit waitingChanged(Waiting());
    else
        StartNext();
}

void RunQueue::Hold() {
    ++held_;
}

void RunQueue::Release() {
    if (held_ > 0 && --held_ == 0 && !Running())
        StartNext();
}

void RunQueue::Stop() {
    if (!Running())
        return;
    // The waiting runs go too; the stopped run counts their paths as left.
    int paths = 0;
    for (const Job& job : queue_)
        paths += job.drop ? int(job.paths.size()) : job.list.Size();
    queue_.clear();
    emit waitingChanged(0);
    RunControl::SetDroppedPaths(paths);
    RunControl::RequestStop();
}

void RunQueue::WaitUntilIdle() {
    if (!Running())
        return;
    QEventLoop loop;
    connect(this, &RunQueue::idle, &loop, &QEventLoop::quit);
    loop.exec();
}

void RunQueue::StartNext() {
    if (held_ > 0)
        return;
    if (queue_.isEmpty()) {
        emit idle();
        return;
    }
    Job job = queue_.dequeue();
    emit waitingChanged(Waiting());
    worker_ = QThread::create([job]() mutable {
        if (job.drop)
            BrushwickMod::Handle_DnD(job.paths);
        else
            BrushwickMod::Handle_Processing(job.list);
    });
    connect(worker_, &QThread::finished, this, &RunQueue::Finished);
    emit runStarted();
    worker_->start();
}

void RunQueue::Finished() {
    QThread* done = worker_;
    worker_ = nullptr;
    done->wait();
    done->deleteLater();
    // The run is over: what it kept is the window's to read now.
    const RunReport report = G().Run.report;
    RunControl::ClearStop();
    emit runFinished(report);
    StartNext();
}
