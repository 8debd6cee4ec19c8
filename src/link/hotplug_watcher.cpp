#include "link/hotplug_watcher.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace trivo {

struct HotplugWatcher::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    ~Udev()
    {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
};

HotplugWatcher::HotplugWatcher(QObject* parent) : QObject(parent), udev_(std::make_unique<Udev>())
{
    udev_->context = udev_new();
    if (!udev_->context)
        return;
    udev_->monitor = udev_monitor_new_from_netlink(udev_->context, "udev");
    if (!udev_->monitor || udev_monitor_filter_add_match_subsystem_devtype(udev_->monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(udev_->monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(udev_->monitor);
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HotplugWatcher::receive);
}

HotplugWatcher::~HotplugWatcher() = default;

void HotplugWatcher::receive()
{
    udev_device* device = udev_monitor_receive_device(udev_->monitor);
    if (!device)
        return;
    const QString action = QString::fromLatin1(udev_device_get_action(device));
    const char* node = udev_device_get_devnode(device);
    const QString path = node ? QString::fromLocal8Bit(node) : QString();
    udev_device_unref(device);
    if (action == QLatin1String("add") || action == QLatin1String("remove"))
        emit changed(action == QLatin1String("add"), path);
}

}  // namespace trivo
