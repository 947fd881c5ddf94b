// The worker's hand-over to the main thread under Qt: a blocking queued call
// on an object that lives in the main thread.
#pragma once

#include "web/main_thread.h"

#include <QObject>

namespace tarvenia::qt {

class QtMainThread : public QObject, public MainThread {
    Q_OBJECT
public:
    // Must be created on the main thread.
    explicit QtMainThread(QObject* parent = nullptr);
    void RunAndWait(const std::function<void()>& fn) override;
};

} // namespace tarvenia::qt
