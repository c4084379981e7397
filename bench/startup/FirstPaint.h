// Told of a shown window, prints on standard output when it first painted and when, after that,
// it next took an event (a window that takes input), as steady-clock nanoseconds, the clock the
// benchmark that started the program reads too; then ends the program.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

class FirstPaint : public QObject {
public:
    static void Watch(QWidget& window) { window.installEventFilter(new FirstPaint(&window)); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Queued: the paint event is over and its frame handed to the platform by then.
            QTimer::singleShot(0, this, [this] {
                painted_ = Now();
                QTimer::singleShot(0, this, [this] {
                    std::printf("painted %lld\ninput %lld\n", painted_, Now());
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                });
            });
        }
        return false;
    }

private:
    explicit FirstPaint(QObject* parent) : QObject(parent) {}
    static long long Now() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    bool seen_ = false;
    long long painted_ = 0;
};
