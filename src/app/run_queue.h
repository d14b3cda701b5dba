#pragma once

#include "containers/marray.h"
#include "state/run_report.h"

#include <QObject>
#include <QQueue>
#include <QStringList>

class QThread;

// One run at a time, on a thread of its own, so the window keeps painting
// and taking drops; a drop (or a hand-over from a second start) that comes
// during a run waits and runs right after it, as if dropped then.
class RunQueue : public QObject {
    Q_OBJECT
public:
    explicit RunQueue(QObject* parent = nullptr);
    // Waits for a run still going on: it must not outlive the window.
    ~RunQueue() override;

    // A drop: runs now, or after the runs before it.
    void AddDrop(const QStringList& paths);
    // A run over a prepared work list (the command line), likewise.
    void AddList(const MArray& list);
    // Stops the run after the file it is on and drops the waiting ones.
    void Stop();
    // While held, new runs wait (the download folder or the options are not
    // settled yet: start-up, an option window open). Holds nest.
    void Hold();
    void Release();
    // Holds while it lives.
    struct Held {
        explicit Held(RunQueue* queue) : queue_(queue) { queue_->Hold(); }
        ~Held() { queue_->Release(); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        RunQueue* queue_;
    };

    bool Running() const { return worker_ != nullptr; }
    // Runs waiting behind the one going on.
    int Waiting() const { return int(queue_.size()); }
    // Lets the window's events go on until every run is done.
    void WaitUntilIdle();

signals:
    void runStarted();
    // The run's report, on the window's thread.
    void runFinished(const RunReport& report);
    void waitingChanged(int runs);
    void idle();

private:
    struct Job {
        bool drop = true;
        QStringList paths;
        MArray list;
    };
    void Add(Job job);
    void StartNext();
    void Finished();

    QQueue<Job> queue_;
    QThread* worker_ = nullptr;
    int held_ = 0;
};
