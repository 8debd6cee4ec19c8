#pragma once
// Plugging and unplugging noticed at once: udev's monitor of hidraw nodes, read on a socket notifier of the
// thread that makes the watcher. Where udev cannot be reached (a container, no udev daemon) it stays
// silent, and the connection monitor's one-second checks notice plugging by themselves.
#include <QObject>

#include <memory>

class QSocketNotifier;

namespace trivo {

class HotplugWatcher : public QObject {
    Q_OBJECT
public:
    explicit HotplugWatcher(QObject* parent = nullptr);
    ~HotplugWatcher() override;

    // udev's monitor is listening.
    bool active() const { return notifier_ != nullptr; }

signals:
    // A hidraw node came or went (its path, e.g. /dev/hidraw3).
    void changed(bool added, const QString& node);

private:
    void receive();

    struct Udev;
    std::unique_ptr<Udev> udev_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace trivo
