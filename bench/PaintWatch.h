#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <chrono>

// Notes when a widget has been painted, so a bench can time an operation until
// the user sees its result.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) : m_widget(widget) { m_widget->installEventFilter(this); }
    ~PaintWatch() override { m_widget->removeEventFilter(this); }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    // Forgets the paints so far: the next wait is for a paint from now on.
    void Reset() { m_painted = false; }
    // Lets events run until the widget has painted; false after 5 s without.
    bool WaitForPaint()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!m_painted && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents();
        return m_painted;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget* m_widget;
    bool m_painted = false;
};
