#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Runs action on the next modal window of type T once it is up (its exec()
// loop is running). Gives up, failing the test, after timeoutMs.
template <typename T>
void WhenModal(std::function<void(T*)> action, int timeoutMs = 10000)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMs] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window && clock->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (window)
            action(window);
        else
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " came up";
    });
    timer->start(5);
}
