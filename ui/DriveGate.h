#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

class QTimer;

// Whether the one UI thread may talk to the drive, take the page's rows down
// or close the program now. A failed exchange's box runs a modal loop, and the
// commands and the test-array read pump events, so timers and posted messages
// run in the middle of them; they ask here first, and what has to wait is run
// by the gate's one timer once nothing it waits for is under way.
class CDriveGate : public QObject {
    Q_OBJECT

public:
    static CDriveGate& Instance();

    // What can be under way below the event loop.
    enum Activity : unsigned {
        kBoxUp = 1,          // the box of a failed exchange (or any box) is up
        kTestArrayRead = 2,  // the graph reads the drive's test array
        kPageLoop = 4,       // the page loops over its rows, or a control handles the user's action
        kCommand = 8,        // a frame command, with the modal windows it runs
        kNestedLoop = 16,    // an event loop below the top-level one
    };
    // What each kind of work waits for.
    static constexpr unsigned kExchange = kBoxUp | kTestArrayRead;
    static constexpr unsigned kRowRemoval = kBoxUp | kPageLoop;
    static constexpr unsigned kClose = kBoxUp | kTestArrayRead | kCommand | kNestedLoop;

    // True when any of the activities is under way.
    bool IsBusy(unsigned activities) const;

    // Marks a page loop, a control's handler (kPageLoop) or a command
    // (kCommand) as under way for as long as it lives.
    class Scope {
    public:
        explicit Scope(Activity activity);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Activity m_activity;
    };

    // Runs `work` now when none of `activities` is under way, otherwise on the
    // first tick of the gate's timer at which none is. A work that already
    // waits for the same owner and activities is replaced, so requests
    // coalesce; it is dropped with its owner.
    void RunWhenFree(QObject* owner, unsigned activities, std::function<void()> work);

private:
    CDriveGate();
    void OnTick();

    struct Waiting {
        QPointer<QObject> owner;
        unsigned activities;
        std::function<void()> work;
        uint64_t ticket;  // order of the requests
    };

    int m_nPageLoops = 0;
    int m_nCommands = 0;
    std::vector<Waiting> m_waiting;
    uint64_t m_nNextTicket = 0;
    QTimer* m_pTimer = nullptr;
};
